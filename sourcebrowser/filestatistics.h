#ifndef SOURCEBROWSER_FILESTATISTICS_H
#define SOURCEBROWSER_FILESTATISTICS_H

// Line counts of the last parse of one file.
struct SourceBrowserFileStatistics {
    int totalLines = 0;
    int blankLines = 0;        // nothing but white space
    int commentLines = 0;      // lines of block comments and line comments
    int preprocessorLines = 0; // continuation lines included
};

#endif
