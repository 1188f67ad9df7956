#pragma once

// A folder of the test's own under the temporary folder, named as the test
// asks (letters outside the code page included), removed with all it holds.
#include <windows.h>

#include <fstream>
#include <string>
#include <string_view>

namespace solvane::test {

inline std::wstring writeFile(const std::wstring& path, std::string_view content) {
    std::ofstream(path.c_str(), std::ios::binary) << content;
    return path;
}

class ScratchFolder {
public:
    explicit ScratchFolder(std::wstring_view name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"solvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter_++);
        CreateDirectoryW(root_.c_str(), nullptr);
        path_ = root_ + L"\\" + std::wstring(name);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeAll(root_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    // The folder the named one stands in.
    const std::wstring& parent() const { return root_; }

    std::wstring folder(std::wstring_view name) const {
        const std::wstring made = path_ + L"\\" + std::wstring(name);
        CreateDirectoryW(made.c_str(), nullptr);
        return made;
    }

    std::wstring file(std::wstring_view name, std::string_view content = "ID3") const {
        return writeFile(path_ + L"\\" + std::wstring(name), content);
    }

private:
    static void removeAll(const std::wstring& folder) {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring inner = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeAll(inner);
                } else {
                    DeleteFileW(inner.c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    static inline int counter_ = 0;
    std::wstring root_;
    std::wstring path_;
};

// What a file holds, read through its wide name.
inline std::string fileContent(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What a file holds, read through the narrow call with the given name.
inline std::string narrowFileContent(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(cannot open)";
    }
    std::string content(4096, '\0');
    DWORD got = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
    CloseHandle(file);
    content.resize(got);
    return content;
}

} // namespace solvane::test
