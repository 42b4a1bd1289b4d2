// A medium seam for the copy tests: drives are folders of the test, each with a label that the
// test changes to "insert" another medium (nullopt: nothing mounted), and the destination's free
// space can be set. Safe to call from the copy's worker thread.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/media.h"

namespace klango::test {

class FakeMedia : public platform::Media {
public:
    void mount(const std::filesystem::path& drive, std::optional<std::string> label) {
        std::lock_guard g(m_lock);
        m_drives[drive.lexically_normal().string()] = std::move(label);
    }
    void setFreeBytes(std::optional<uint64_t> bytes) {
        std::lock_guard g(m_lock);
        m_free = bytes;
    }
    int flushes() const {
        std::lock_guard g(m_lock);
        return m_flushes;
    }

    std::filesystem::path driveOf(const std::filesystem::path& file) const override {
        std::lock_guard g(m_lock);
        const std::string f = file.lexically_normal().string();
        std::string best = "/";
        for (const auto& [drive, label] : m_drives)
            if (f.rfind(drive + "/", 0) == 0 && drive.size() > best.size()) best = drive;
        return best;
    }
    std::optional<std::string> label(const std::filesystem::path& drive) const override {
        std::lock_guard g(m_lock);
        auto it = m_drives.find(drive.lexically_normal().string());
        return it == m_drives.end() ? std::nullopt : it->second;
    }
    std::optional<uint64_t> freeBytes(const std::filesystem::path& path) const override {
        std::lock_guard g(m_lock);
        if (m_free) return m_free;
        return platform::Volumes::freeBytes(path);
    }
    bool flush(const std::filesystem::path&) const override {
        std::lock_guard g(m_lock);
        ++m_flushes;
        return true;
    }

private:
    mutable std::mutex m_lock;
    std::map<std::string, std::optional<std::string>> m_drives;
    std::optional<uint64_t> m_free;
    mutable int m_flushes = 0;
};

}  // namespace klango::test
