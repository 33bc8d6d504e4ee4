#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The about box: the program's title and the version from "SYSVER.DAT".
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // dirs: the folders to look in for "SYSVER.DAT", beside the executable
    // first (an installed program keeps it in its data folder).
    explicit frmAbout(const QStringList& dirs, QWidget* parent = nullptr);

    // The version text of the version file at path: its first field, quotes
    // dropped; "X.X.X" when the file is missing or holds no field.
    static QString versionOf(const QString& path);
    // The first of dirs holding "SYSVER.DAT", or an empty text.
    static QString versionFile(const QStringList& dirs);

    QLabel* lblTitle(int index) const { return index == 0 ? mTitle0 : mTitle1; }
    QPushButton* cmdOK() const { return mOK; }

private:
    void Form_Load(const QStringList& dirs);

    QLabel* mIcon = nullptr;
    QLabel* mTitle0 = nullptr;
    QLabel* mTitle1 = nullptr;
    QPushButton* mOK = nullptr;
};
