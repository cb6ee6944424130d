#pragma once

// Writes the banner (tool, product, release and copyright lines) to standard error.
void printBanner(const char *toolName);

// Writes the banner and the usage to standard error.
void printUsage(const char *toolName);
