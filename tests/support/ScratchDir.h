// Scratch folders for tests. Test programs run side by side (every case of a
// program as a process of its own, two checkouts on one machine), so nothing
// may be written under a fixed name in the shared temporary folder: every
// process makes one root folder under a name no other process holds, and
// every scratch folder is a new numbered folder inside it.
#pragma once

#include <filesystem>
#include <string>

class CScratchDir {
public:
    // A new, empty folder; `label` only helps a reader of a left-over tree.
    explicit CScratchDir(const std::string& label = "scratch");
    // Removes the folder with everything in it.
    ~CScratchDir();
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path of `name` inside the folder, as a narrow string.
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// This process's own root folder in the temporary folder, made on first use
// and removed when the process ends normally.
const std::filesystem::path& TestProcessRoot();
