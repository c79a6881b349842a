#pragma once
// Helpers of the input-file tests: a scratch folder, whole-file access, sample models.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/InputModel.h"

namespace filetest {

namespace fs = std::filesystem;

// A fresh folder under the temporary folder, removed with its contents at the end.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "mbwtest.XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
        m_path = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every field equal, slot kinds included.
inline bool SameModel(const InputModel& a, const InputModel& b) {
    return a == b;
}

// A full case: Japanese name, every condition, three land and two sea layers with values
// that need all their digits.
inline InputModel SampleModel() {
    InputModel m;
    ClearInputData(m);
    m.InputDataSet = true;
    m.CondData(CondTitle) = Slot::text("第２岸壁（－１０ｍ）ｹｰｽA");
    const double conditions[] = {3.0, 1.5, -10.0, 200000, 40000, 2000, 2270.5, 1.2, 180, 0.5};
    for (int i = 0; i < 10; ++i) m.CondData(i + 2) = Slot::number(conditions[i]);
    const double land[][3] = {{1.3, 3, 10.02}, {0.1, 10.02, 1.0 / 3}, {45.25, 1e-5, 1234567.891}};
    for (const auto& row : land) {
        ++m.LandLoadCount;
        for (int j = 0; j < 3; ++j) m.LandLoads(j + 1, m.LandLoadCount) = Slot::number(row[j]);
    }
    const double sea[][3] = {{1.5, 0, 54}, {99.999, 54, 9999.999}};
    for (const auto& row : sea) {
        ++m.SeaLoadCount;
        for (int j = 0; j < 3; ++j) m.SeaLoads(j + 1, m.SeaLoadCount) = Slot::number(row[j]);
    }
    return m;
}

// True when the scratch folder holds nothing but the named entries.
inline bool OnlyFiles(const ScratchDir& dir, std::initializer_list<std::string> names) {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        ++n;
        bool known = false;
        for (const auto& name : names) known = known || entry.path().filename() == name;
        if (!known) return false;
    }
    return n == names.size();
}

}  // namespace filetest
