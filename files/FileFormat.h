#pragma once

#include <QString>

// The two kinds of document the program reads and writes, the suffixes it gives them, and which
// one a file is. The readers go by the "format" that a file names inside, never by its name.
class FileFormat {
public:
    enum class Kind { Scene, Recording };

    static constexpr const char* kSceneSuffix = "fluidscene";
    static constexpr const char* kRecordingSuffix = "fluidrec";

    // A recording when the file names the recording format in its first 4 KiB, as every file
    // this program writes does (the keys are written in alphabetical order, and "format" comes
    // second); a scene otherwise, whose reader then refuses a file that is neither.
    static Kind sniff(const QString& path);
};
