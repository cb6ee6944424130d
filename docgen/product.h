#pragma once

// Constants of the product this build documents. They are built in: the tool has no
// configuration beyond its command line.
namespace product {
inline constexpr const char *name = "Orrin Studio for RISC-V";
inline constexpr const char *release = "4.52a";
// Selects the variant sections of the manual sources.
inline constexpr const char *targetFamily = "RISCV";
// The one-line notice of the banner; also replaces "$(LICENSE)" in presented files.
inline constexpr const char *copyrightNotice = "Copyright (C) 2026 the quillgen developers.";
inline constexpr const char *secondCopyrightNotice =
    "Copyright (C) 2026 the Orrin Studio documentation team.";
} // namespace product
