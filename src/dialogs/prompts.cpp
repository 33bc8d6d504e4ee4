#include "dialogs/prompts.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

// Button captions in Japanese whatever translations are installed.
void japaneseButtons(QMessageBox& box)
{
    const struct
    {
        QMessageBox::StandardButton b;
        const char* text;
    } names[] = {{QMessageBox::Ok, "OK"},
                 {QMessageBox::Cancel, "キャンセル"},
                 {QMessageBox::Yes, "はい"},
                 {QMessageBox::No, "いいえ"}};
    for (const auto& n : names) {
        if (QAbstractButton* b = box.button(n.b))
            b->setText(QString::fromUtf8(n.text));
    }
}

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton def, bool rightAligned = false)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(def);
    japaneseButtons(box);
    if (rightAligned) {
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void MessageBoxPrompts::error(QWidget* parent, const QString& text)
{
    ask(parent, QMessageBox::Warning, QStringLiteral("Error"), text, QMessageBox::Ok,
        QMessageBox::Ok);
}

void MessageBoxPrompts::errorRight(QWidget* parent, const QString& text)
{
    ask(parent, QMessageBox::Warning, QStringLiteral("Error"), text, QMessageBox::Ok,
        QMessageBox::Ok, true);
}

void MessageBoxPrompts::information(QWidget* parent, const QString& title, const QString& text)
{
    ask(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxPrompts::okCancel(QWidget* parent, const QString& title, const QString& text)
{
    return ask(parent, QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok) == QMessageBox::Ok;
}

Prompts::Answer MessageBoxPrompts::yesNoCancel(QWidget* parent, const QString& title,
                                               const QString& text)
{
    switch (ask(parent, QMessageBox::NoIcon, title, text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel; // Esc and the close box too
    }
}

bool MessageBoxPrompts::yesNo(QWidget* parent, const QString& title, const QString& text)
{
    return ask(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes;
}

int MessageBoxPrompts::choose(QWidget* parent, const QString& title, const QString& text,
                              const QStringList& buttons)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> made;
    for (int i = 0; i < buttons.size(); ++i) {
        const bool last = i == buttons.size() - 1;
        made << box.addButton(buttons[i], last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    }
    if (!made.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(made.constFirst()));
        box.setEscapeButton(made.constLast());
    }
    box.exec();
    const int i = int(made.indexOf(box.clickedButton()));
    return i < 0 ? int(buttons.size()) - 1 : i;
}

QString MessageBoxPrompts::openFile(QWidget* parent, const SaveFileRequest& r)
{
    QFileDialog dlg(parent, r.caption, r.dir, r.filter);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.resize(dlg.sizeHint().expandedTo(QSize(820, 520)));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

QString MessageBoxPrompts::saveFile(QWidget* parent, const SaveFileRequest& r)
{
    // Qt's own dialog: the same on every desktop, and its name field can be
    // given the focus, so typing a name and Enter saves.
    QFileDialog dlg(parent, r.caption, r.dir, r.filter);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(r.suffix);
    dlg.selectFile(r.name);
    dlg.resize(dlg.sizeHint().expandedTo(QSize(820, 520))); // room for names, sizes and dates
    QTimer::singleShot(0, &dlg, [&dlg] {
        if (auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setFocus();
            name->selectAll();
        }
    });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

int MessageBoxPrompts::exec(QDialog& dialog)
{
    return dialog.exec();
}
