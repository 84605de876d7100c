#include "dialog/DataExchange.h"

#include "dialog/ExchangeText.h"
#include "putil/UserPrompt.h"
#include "rules/NumberText.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QLocale>
#include <QValidator>

namespace skyfetch {
namespace {

// Whether the user's locale writes a decimal comma ("2,5"): there a comma typed into a
// number field is meant as the decimal point.
bool locale_writes_decimal_comma() {
    return QLocale().decimalPoint() == QStringLiteral(",");
}

// What the user may type into an edit. Beyond maxChars (when > 0) typing is refused;
// texts set by the program are not checked by Qt (unlike QLineEdit::setMaxLength, which
// would cut them short), so the exchange can still refuse them on reading. In a number
// field a decimal comma is shown as the point the program reads.
class EntryValidator : public QValidator {
public:
    EntryValidator(int limit, bool number, QObject* parent)
        : QValidator(parent), m_limit(limit), m_number(number) {}
    State validate(QString& input, int&) const override {
        if (m_number && locale_writes_decimal_comma())
            input.replace(u',', u'.');
        return m_limit > 0 && input.size() > m_limit ? Invalid : Acceptable;
    }

private:
    int m_limit;
    bool m_number;
};

// An edit's text as the exchange reads it.
std::string entry_text(const QLineEdit* edit, bool number) {
    const std::string text = edit->text().toStdString();
    return number && locale_writes_decimal_comma() ? DecimalCommaAsPoint(text) : text;
}

void set_text_if_different(QLineEdit* edit, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (edit->text() != value)
        edit->setText(value);
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
};

} // namespace

void DataExchange::Text(QLineEdit* edit, std::string* member, int maxChars) {
    m_bindings.push_back({Kind::Text, edit, nullptr, member, maxChars, false});
    if (maxChars > 0)
        edit->setValidator(new EntryValidator(maxChars, false, edit));
}

void DataExchange::NumberText(QLineEdit* edit, std::string* member, int maxChars) {
    m_bindings.push_back({Kind::Text, edit, nullptr, member, maxChars, true});
    edit->setValidator(new EntryValidator(maxChars, true, edit));
}

void DataExchange::Int(QLineEdit* edit, int* member) {
    m_bindings.push_back({Kind::Int, edit, nullptr, member, 0, false});
}

void DataExchange::Double(QLineEdit* edit, double* member) {
    m_bindings.push_back({Kind::Double, edit, nullptr, member, 0, true});
    edit->setValidator(new EntryValidator(0, true, edit));
}

void DataExchange::Radio(QButtonGroup* group, int* member) {
    m_bindings.push_back({Kind::Radio, nullptr, group, member, 0, false});
}

void DataExchange::Fail(QLineEdit* edit, const std::string& message) {
    user_prompt().show(message, PromptIcon::Warning, PromptButtons::Ok);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool DataExchange::Save() {
    DepthGuard guard(m_depth);
    for (const Binding& b : m_bindings) {
        switch (b.kind) {
        case Kind::Text: {
            std::string text = entry_text(b.edit, b.number);
            if (b.maxChars > 0 && b.edit->text().size() > b.maxChars) {
                Fail(b.edit, MaxCharsMessage(b.maxChars));
                return false;
            }
            *static_cast<std::string*>(b.member) = std::move(text);
            break;
        }
        case Kind::Int:
            if (!ParseExchangeInt(b.edit->text().toStdString(), *static_cast<int*>(b.member))) {
                Fail(b.edit, kEnterIntegerMessage);
                return false;
            }
            break;
        case Kind::Double:
            if (!ParseExchangeDouble(entry_text(b.edit, b.number),
                                     *static_cast<double*>(b.member))) {
                Fail(b.edit, kEnterNumberMessage);
                return false;
            }
            break;
        case Kind::Radio: {
            const auto buttons = b.group->buttons();
            int chosen = -1;
            for (int i = 0; i < buttons.size(); ++i)
                if (buttons[i]->isChecked()) {
                    chosen = i;
                    break;
                }
            *static_cast<int*>(b.member) = chosen;
            break;
        }
        }
    }
    return true;
}

void DataExchange::Load() {
    DepthGuard guard(m_depth);
    for (const Binding& b : m_bindings) {
        switch (b.kind) {
        case Kind::Text:
            set_text_if_different(b.edit, *static_cast<std::string*>(b.member));
            break;
        case Kind::Int:
            set_text_if_different(b.edit, FormatExchangeInt(*static_cast<int*>(b.member)));
            break;
        case Kind::Double:
            set_text_if_different(b.edit, FormatExchangeDouble(*static_cast<double*>(b.member)));
            break;
        case Kind::Radio: {
            const auto buttons = b.group->buttons();
            const int chosen = *static_cast<int*>(b.member);
            // An exclusive group cannot have all its buttons cleared.
            const bool exclusive = b.group->exclusive();
            b.group->setExclusive(false);
            for (int i = 0; i < buttons.size(); ++i)
                buttons[i]->setChecked(i == chosen);
            b.group->setExclusive(exclusive);
            break;
        }
        }
    }
}

} // namespace skyfetch
