#pragma once

#include <QObject>

#include <string>
#include <vector>

class QLineEdit;
class QRadioButton;
class QButtonGroup;

namespace skyfetch {

// Copies a dialog's bound members to their controls or back, always all of them at once
// and in the order they were bound. Reading stops at the first edit whose text does not
// read as the member's type: the message is shown (through the user prompt, warning
// icon), the focus goes to that edit with its text selected, and the members after it
// keep their values.
//
// Numbers follow the C rules ("2.5") in any locale. Where the user's locale writes a
// decimal comma, a comma typed into a number field (NumberText, Double) is taken as the
// decimal point and shown as one, both as it is typed and when the field is read.
//
// While an exchange runs, InProgress() is true: the dialog's change handlers ignore the
// text changes the exchange itself makes, so that refreshing the controls never starts
// another exchange from inside this one.
class DataExchange {
public:
    // A text member. maxChars > 0 limits what the user can type into the edit; a longer
    // text that the program put there is refused on reading.
    void Text(QLineEdit* edit, std::string* member, int maxChars = 0);
    // A number kept as the text typed (the location fields), limited as Text is.
    void NumberText(QLineEdit* edit, std::string* member, int maxChars);
    void Int(QLineEdit* edit, int* member);
    void Double(QLineEdit* edit, double* member);
    // A radio pair: -1 none chosen, 0 the first, 1 the second.
    void Radio(QButtonGroup* group, int* member);

    // Controls to members. False after a refused text.
    bool Save();
    // Members to controls. Texts are only replaced where they differ, so an unchanged
    // edit keeps its caret and selection.
    void Load();

    bool InProgress() const { return m_depth > 0; }

private:
    enum class Kind { Text, Int, Double, Radio };
    struct Binding {
        Kind kind;
        QLineEdit* edit = nullptr;
        QButtonGroup* group = nullptr;
        void* member = nullptr;
        int maxChars = 0;
        bool number = false; // reads a decimal comma as the point
    };
    void Fail(QLineEdit* edit, const std::string& message);

    std::vector<Binding> m_bindings;
    int m_depth = 0;
};

} // namespace skyfetch
