#pragma once

#include <string>
#include <vector>

// The manual's source, read into blocks. The markup reads as plain text:
//
//   Title: The kelto manual          (before the first heading: title page lines,
//   Subtitle: ...                     "Title", "Subtitle" and "Author")
//   # Chapter, ## Section, ### Subsection
//   paragraphs of lines, ended by a blank line
//   - bullet (continued by lines indented two spaces)
//       code (lines indented four spaces, kept as they stand)
//   | table | row |                    (the first row is the header)
//   [picture: file.png] caption
//
// Within text, `code` is set in a fixed font and **this** in bold.
struct ManualBlock {
    enum class Kind { Heading, Paragraph, Bullet, Code, Table, Picture };
    Kind kind = Kind::Paragraph;
    int level = 0;                 // Heading: 1 to 3
    std::string text;              // Heading, Paragraph, Bullet, Code (lines joined by \n),
                                   // Picture: its caption
    std::string file;              // Picture
    std::vector<std::vector<std::string>> rows;  // Table
    int line = 0;                  // where it starts in the source, for messages
};

struct ManualSource {
    std::string title;
    std::string subtitle;
    std::string author;
    std::vector<ManualBlock> blocks;
};

// Reads text; a line the markup cannot place is an error, named with its line number.
bool ParseManual(const std::string& text, ManualSource& source, std::string& error);

// The cells of a table line "| a | b |", trimmed.
std::vector<std::string> SplitTableRow(const std::string& line);
