#pragma once

// How many processors the process may use: those of its affinity mask (taskset), fewer
// when its control group's CPU quota allows less (a container's or a build's limit).
// At least 1.
int usableCores();
