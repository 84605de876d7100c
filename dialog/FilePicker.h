#pragma once

#include <string>

class QWidget;

namespace skyfetch {

// The file dialog of the output name: tests put their own picker in its place.
class FilePicker {
public:
    virtual ~FilePicker() = default;
    // Shows a file dialog titled title, starting in the folder part of path with its
    // name part as the name. filter is a list of description and pattern pairs, each
    // ended by '\t' ("Text files (*.txt)\t*.txt\tAll files (*)\t*\t"); the description
    // carries the patterns Qt filters by, in parentheses. A name typed without an
    // extension gets the one of the chosen filter when that filter has a single "*.ext"
    // pattern. The chosen file need not exist. Returns the full chosen path, or "" when
    // cancelled.
    virtual std::string BrowseForFile(const std::string& title, const std::string& path,
                                      const std::string& filter) = 0;
};

// The desktop's file dialog (QFileDialog), modal over parent.
class QtFilePicker : public FilePicker {
public:
    explicit QtFilePicker(QWidget* parent) : m_parent(parent) {}
    std::string BrowseForFile(const std::string& title, const std::string& path,
                              const std::string& filter) override;

private:
    QWidget* m_parent;
};

} // namespace skyfetch
