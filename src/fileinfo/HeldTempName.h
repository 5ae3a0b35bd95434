#pragma once

#include <string>

// A temporary file name handed out by MakeTempFileName, given back when it is replaced or
// when its holder goes away, so that names of dropped jobs become free again.
class CHeldTempName {
public:
    CHeldTempName() = default;
    ~CHeldTempName();
    CHeldTempName(const CHeldTempName&) = delete;
    CHeldTempName& operator=(const CHeldTempName&) = delete;

    // Holds name (already reserved by MakeTempFileName) and gives back the one held before.
    void Take(const std::string& name);
    void Release();
    const std::string& Get() const { return m_name; }

private:
    std::string m_name;
};
