#pragma once

// Settles how the allocator serves the run, before the first allocation of note.
void tuneAllocator();
