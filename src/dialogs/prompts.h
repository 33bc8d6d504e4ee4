#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// What the save dialog is asked: its caption, the folder it opens in, the
// proposed name, one filter ("ブロックファイル (*.csv)") and the suffix a name
// typed without one is given.
struct SaveFileRequest
{
    QString caption;
    QString dir;
    QString name;
    QString filter;
    QString suffix;
};

// Everything modal that the user answers: message boxes, the save dialog and
// the program's own modal dialogs. Windows and commands reach them only
// through this seam, so tests give their answers without a real dialog.
class Prompts
{
public:
    enum class Answer
    {
        Yes,
        No,
        Cancel
    };

    virtual ~Prompts() = default;

    // An error: title "Error", exclamation icon, OK.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // The same with the text right-aligned.
    virtual void errorRight(QWidget* parent, const QString& text) = 0;
    // A notice: information icon, OK.
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // OK / キャンセル, no icon; true for OK.
    virtual bool okCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // はい / いいえ / キャンセル, no icon.
    virtual Answer yesNoCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // はい / いいえ, question icon; true for はい.
    virtual bool yesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with buttons of its own (Japanese captions, the first the
    // default; the last one is the cancel, taken by Esc and the close box).
    // Returns the index of the button pressed.
    virtual int choose(QWidget* parent, const QString& title, const QString& text,
                       const QStringList& buttons) = 0;
    // The save dialog: the chosen full path, or an empty text when cancelled.
    virtual QString saveFile(QWidget* parent, const SaveFileRequest& request) = 0;
    // An open dialog for a file other than a block (a DXF drawing): the same
    // request; the chosen full path, or an empty text when cancelled.
    virtual QString openFile(QWidget* parent, const SaveFileRequest& request) = 0;
    // Shows a dialog of the program modally and returns its result code.
    virtual int exec(QDialog& dialog) = 0;
};

// The real message boxes and dialogs.
class MessageBoxPrompts : public Prompts
{
public:
    void error(QWidget* parent, const QString& text) override;
    void errorRight(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& title, const QString& text) override;
    bool okCancel(QWidget* parent, const QString& title, const QString& text) override;
    Answer yesNoCancel(QWidget* parent, const QString& title, const QString& text) override;
    bool yesNo(QWidget* parent, const QString& title, const QString& text) override;
    int choose(QWidget* parent, const QString& title, const QString& text,
               const QStringList& buttons) override;
    QString saveFile(QWidget* parent, const SaveFileRequest& request) override;
    QString openFile(QWidget* parent, const SaveFileRequest& request) override;
    int exec(QDialog& dialog) override;
};
