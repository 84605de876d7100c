#pragma once

#include <string>

class QWidget;

namespace skyfetch {

// Whether a file dialog picks a file to open or a name to save under: a save dialog's
// button says Save.
enum class FileDialogMode { Open, Save };

// The file dialogs of the output name and of the chart: tests put their own picker in
// their place.
class FilePicker {
public:
    virtual ~FilePicker() = default;
    // Shows a file dialog titled title, starting in the folder part of path with its
    // name part as the name. filter is a list of description and pattern pairs, each
    // ended by '\t' ("Text files (*.txt)\t*.txt\tAll files (*)\t*\t"); the description
    // carries the patterns Qt filters by, in parentheses. A name typed without an
    // extension gets the one of the chosen filter when that filter has a single "*.ext"
    // pattern. The chosen file need not exist; a save dialog leaves the question whether
    // to replace an existing file to its caller. Returns the full chosen path, or "" when
    // cancelled.
    virtual std::string BrowseForFile(const std::string& title, const std::string& path,
                                      const std::string& filter, FileDialogMode mode) = 0;
};

// The desktop's file dialog (QFileDialog), modal over parent.
class QtFilePicker : public FilePicker {
public:
    explicit QtFilePicker(QWidget* parent) : m_parent(parent) {}
    std::string BrowseForFile(const std::string& title, const std::string& path,
                              const std::string& filter, FileDialogMode mode) override;

private:
    QWidget* m_parent;
};

} // namespace skyfetch
