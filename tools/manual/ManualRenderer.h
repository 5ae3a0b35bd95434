#pragma once

#include <string>
#include <vector>

struct ManualSource;

struct ManualRenderOptions {
    std::string version;                  // printed on the title page and in the footer
    std::vector<std::string> imageDirs;   // searched in order for each picture
    std::string output;                   // the PDF file
};

// Sets the manual as an A4 PDF: a title page, the contents with page numbers, one chapter per
// page run, pictures scaled to the text width, page numbers in the footer. False, with the
// reason, when a picture cannot be found or read or the file cannot be written.
bool RenderManual(const ManualSource& source, const ManualRenderOptions& options,
                  std::string& error);
