#pragma once

// The texture's tests on every platform and on POSIX alone share a fresh folder per test,
// recorded messages and a pattern image.

#include "globe/DebugTrace.h"
#include "putil/UserPrompt.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace skyfetch::test {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

class RecordingPrompt : public UserPrompt {
public:
    PromptAnswer show(const std::string& text, PromptIcon icon, PromptButtons) override {
        texts.push_back(text);
        icons.push_back(icon);
        return PromptAnswer::Ok;
    }
    std::vector<std::string> texts;
    std::vector<PromptIcon> icons;
};

class RecordingTrace : public DebugTrace {
public:
    void write(std::string_view text) override { lines.append(text); }
    std::string lines;
};

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        set_user_prompt(&m_prompt);
        set_debug_trace(&m_trace);
        // Memory-backed when possible: the mutation test writes thousands of small files.
        m_dir = fs_path(make_temp_folder(
            "skyfetch-texture-", fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::path()));
    }
    void TearDown() override {
        set_user_prompt(nullptr);
        set_debug_trace(nullptr);
        fs::remove_all(m_dir);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    void Write(const std::string& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The only message shown since the last call (empty when there was none).
    std::string TakeMessage() {
        std::string text = m_prompt.texts.size() == 1 ? m_prompt.texts[0] : "";
        if (m_prompt.texts.size() > 1)
            text = "several messages, first: " + m_prompt.texts[0];
        m_prompt.texts.clear();
        m_prompt.icons.clear();
        return text;
    }

    RecordingPrompt m_prompt;
    RecordingTrace m_trace;
    fs::path m_dir;
};

// A tightly packed image whose every byte tells where it came from.
inline Bytes pattern_pixels(int width, int height, int bpp) {
    Bytes pixels(static_cast<std::size_t>(width) * height * bpp);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i * 7 + 3);
    return pixels;
}

} // namespace skyfetch::test
