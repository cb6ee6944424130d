# A manual edited under the preview while headless Chromium shows it: the page reloads
# where it was scrolled to and the panel shows a mistake's warning until it is fixed
# (skipped without chromium). Included by this folder's CMakeLists.txt.
find_program(QUILLGEN_PYTHON3 python3)
if(TARGET quillgen-preview AND QUILLGEN_PYTHON3)
  add_test(NAME preview_browser
    COMMAND ${QUILLGEN_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/browser_test.py
            $<TARGET_FILE:quillgen-preview> ${PROJECT_SOURCE_DIR})
  set_tests_properties(preview_browser PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
