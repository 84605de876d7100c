#pragma once

#include "msgdialog/MessageItem.h"

#include <QDialog>
#include <QFont>

#include <vector>

namespace skyfetch {

// A modal dialog without caption whose content is laid out at run time from runs of text
// in four styles, line breaks and push buttons (see MessageItem). Text flows into lines,
// long paths break after '/' or '-', and the dialog fits its height to the content.
//
// Use:
//   CMessageDialog dlg(parent);
//   MessageItem item;
//   item.kind = ItemLarge; item.align = 0; item.text = "Title"; dlg.m_items.push_back(item);
//   item.kind = ItemNewLine; dlg.m_items.push_back(item);
//   item.kind = ItemButton; item.text = "Finish"; item.result = 3; dlg.m_items.push_back(item);
//   dlg.m_width = 640; dlg.m_height = 400;   // the height is then fitted to the content
//   if (dlg.exec() == QDialog::Accepted && dlg.m_result != 0) { /* button m_result */ }
// exec() returns QDialog::Accepted (the stand-in for IDOK) when one of the dialog's buttons
// was pressed, and m_result then holds its item's result. Escape or closing the window
// returns QDialog::Rejected, Enter with no button focused returns QDialog::Accepted; in both
// cases m_result stays 0. The dialog itself has the focus when it opens, so Enter at once
// confirms it; Tab moves round the buttons, and a focused button presses with Space or Enter.
class CMessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit CMessageDialog(QWidget* parent = nullptr);

    // Opens the dialog modally: makes the fonts, applies m_width x m_height (the height is
    // then fitted to the content), clears every item's button and m_result.
    int exec() override;

    // A command reaching the dialog: a button item's id (2700 + its list position) sets
    // m_result to that item's result and closes the dialog with QDialog::Accepted.
    // Returns whether the id was one of the buttons.
    bool OnCommand(int id);

    // The client area: the window inside its one-pixel border.
    QRect ClientRect() const { return rect().adjusted(1, 1, -1, -1); }

    std::vector<MessageItem> m_items; // the content, in display order
    int m_width = 0;                  // window size applied when the dialog opens
    int m_height = 0;
    int m_result = 0; // the result of the pressed button; 0 until one is pressed

    QFont m_fontNormal;
    QFont m_fontBold;
    QFont m_fontFixed;
    QFont m_fontLarge;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateFonts();
    // Changes the window height so that the client height fits the content; returns true
    // when it already did.
    bool FitHeight();
    void PlaceButton(MessageItem& item);
};

} // namespace skyfetch
