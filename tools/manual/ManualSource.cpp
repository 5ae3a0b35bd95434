#include "ManualSource.h"

#include <sstream>

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

int HeadingLevel(const std::string& line) {
    std::size_t level = 0;
    while (level < line.size() && line[level] == '#') ++level;
    if (level == 0 || level > 3 || level >= line.size() || line[level] != ' ') return 0;
    return static_cast<int>(level);
}

bool IsBlank(const std::string& line) { return Trim(line).empty(); }

class CParser {
public:
    CParser(const std::string& text, ManualSource& source) : m_source(source) {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            m_lines.push_back(line);
        }
    }

    bool Run(std::string& error) {
        while (m_at < m_lines.size()) {
            const std::string& line = m_lines[m_at];
            if (IsBlank(line)) {
                ++m_at;
            } else if (m_source.blocks.empty() && TakeTitleLine(line)) {
                ++m_at;
            } else if (const int level = HeadingLevel(line)) {
                Add(ManualBlock::Kind::Heading, Trim(line.substr(static_cast<std::size_t>(level))))
                    .level = level;
                ++m_at;
            } else if (StartsWith(line, "    ")) {
                TakeCode();
            } else if (StartsWith(line, "- ")) {
                TakeBullet();
            } else if (StartsWith(line, "|")) {
                if (!TakeTable(error)) return false;
            } else if (StartsWith(line, "[picture:")) {
                if (!TakePicture(error)) return false;
            } else if (line[0] == ' ' || line[0] == '\t') {
                error = Where() + "an indented line that is neither code (four spaces) nor "
                                  "the rest of a bullet";
                return false;
            } else {
                TakeParagraph();
            }
        }
        return true;
    }

private:
    std::string Where() const { return "line " + std::to_string(m_at + 1) + ": "; }

    ManualBlock& Add(ManualBlock::Kind kind, const std::string& text) {
        ManualBlock block;
        block.kind = kind;
        block.text = text;
        block.line = static_cast<int>(m_at + 1);
        m_source.blocks.push_back(block);
        return m_source.blocks.back();
    }

    bool TakeTitleLine(const std::string& line) {
        for (auto [key, field] : {std::pair{"Title:", &m_source.title},
                                  std::pair{"Subtitle:", &m_source.subtitle},
                                  std::pair{"Author:", &m_source.author}}) {
            if (StartsWith(line, key)) {
                *field = Trim(line.substr(std::string(key).size()));
                return true;
            }
        }
        return false;
    }

    // Lines up to a blank one or the start of another kind of block.
    bool EndsText(const std::string& line) const {
        return IsBlank(line) || HeadingLevel(line) != 0 || StartsWith(line, "- ") ||
               StartsWith(line, "|") || StartsWith(line, "[picture:");
    }

    void TakeParagraph() {
        ManualBlock& block = Add(ManualBlock::Kind::Paragraph, Trim(m_lines[m_at++]));
        while (m_at < m_lines.size() && !EndsText(m_lines[m_at]) &&
               !StartsWith(m_lines[m_at], "    ")) {
            block.text += " " + Trim(m_lines[m_at++]);
        }
    }

    void TakeBullet() {
        ManualBlock& block = Add(ManualBlock::Kind::Bullet, Trim(m_lines[m_at++].substr(2)));
        while (m_at < m_lines.size() && StartsWith(m_lines[m_at], "  ") &&
               !IsBlank(m_lines[m_at])) {
            block.text += " " + Trim(m_lines[m_at++]);
        }
    }

    // Code runs on over blank lines while indented lines follow them.
    void TakeCode() {
        ManualBlock& block = Add(ManualBlock::Kind::Code, m_lines[m_at++].substr(4));
        while (m_at < m_lines.size()) {
            std::size_t next = m_at;
            while (next < m_lines.size() && IsBlank(m_lines[next])) ++next;
            if (next == m_lines.size() || !StartsWith(m_lines[next], "    ")) break;
            for (; m_at < next; ++m_at) block.text += "\n";
            block.text += "\n" + m_lines[m_at++].substr(4);
        }
    }

    bool TakeTable(std::string& error) {
        ManualBlock& block = Add(ManualBlock::Kind::Table, {});
        for (; m_at < m_lines.size() && StartsWith(m_lines[m_at], "|"); ++m_at) {
            const std::vector<std::string> cells = SplitTableRow(m_lines[m_at]);
            bool rule = true;  // "|---|---|" under the header
            for (const std::string& cell : cells) {
                rule = rule && !cell.empty() && cell.find_first_not_of("-:") == std::string::npos;
            }
            if (rule) continue;
            if (!block.rows.empty() && cells.size() != block.rows.front().size()) {
                error = Where() + "this table row has " + std::to_string(cells.size()) +
                        " cells, the first row " + std::to_string(block.rows.front().size());
                return false;
            }
            block.rows.push_back(cells);
        }
        return true;
    }

    bool TakePicture(std::string& error) {
        const std::string& line = m_lines[m_at];
        const auto close = line.find(']');
        if (close == std::string::npos) {
            error = Where() + "a picture line without its ']'";
            return false;
        }
        ManualBlock& block = Add(ManualBlock::Kind::Picture, Trim(line.substr(close + 1)));
        block.file = Trim(line.substr(9, close - 9));
        ++m_at;
        if (block.file.empty()) {
            error = Where() + "a picture line names no file";
            return false;
        }
        return true;
    }

    ManualSource& m_source;
    std::vector<std::string> m_lines;
    std::size_t m_at = 0;
};

}  // namespace

std::vector<std::string> SplitTableRow(const std::string& line) {
    std::string inner = Trim(line);
    if (!inner.empty() && inner.front() == '|') inner.erase(0, 1);
    if (!inner.empty() && inner.back() == '|') inner.pop_back();
    std::vector<std::string> cells;
    std::string cell;
    bool code = false;  // a '|' inside `...` belongs to the cell
    for (char c : inner) {
        if (c == '`') code = !code;
        if (c == '|' && !code) {
            cells.push_back(Trim(cell));
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells.push_back(Trim(cell));
    return cells;
}

bool ParseManual(const std::string& text, ManualSource& source, std::string& error) {
    source = ManualSource();
    return CParser(text, source).Run(error);
}
