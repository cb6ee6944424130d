#pragma once

// The addresses the preview keeps for itself; a hidden folder's name, which no served
// file can have.
inline constexpr const char *liveScriptPath = "/.quillgen-preview/live.js";
inline constexpr const char *liveSocketPath = "/.quillgen-preview/socket";
