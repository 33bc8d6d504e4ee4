#include "dialogs/frmabout.h"

#include "dialogs/twips.h"
#include "document/cp932.h"
#include "document/datapath.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kVersionFile = QStringLiteral("SYSVER.DAT");

// The first comma- or line-delimited field: leading blanks skipped; a field
// that starts with a double quote runs to the next one, quotes dropped.
QString firstField(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    if (i < text.size() && text[i] == u'"') {
        const qsizetype end = text.indexOf(u'"', i + 1);
        return text.mid(i + 1, end < 0 ? -1 : end - i - 1);
    }
    qsizetype end = i;
    while (end < text.size() && text[end] != u',' && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    return text.mid(i, end - i);
}

QFont titleFont()
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPointSizeF(9.75);
    f.setBold(true);
    return f;
}

} // namespace

QString frmAbout::versionFile(const QStringList& dirs)
{
    for (const QString& d : dirs) {
        const QString path = Dir_WithSlash(d) + kVersionFile;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString frmAbout::versionOf(const QString& path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return QStringLiteral("X.X.X");
    // A version file is a line or two; more is not a version file.
    const QByteArray bytes = f.read(4096);
    QString text;
    if (!Cp932::decode(bytes, text))
        text = QString::fromUtf8(bytes);
    const QString v = firstField(text);
    return v.isEmpty() ? QStringLiteral("X.X.X") : v;
}

frmAbout::frmAbout(const QStringList& dirs, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    mIcon = new QLabel(this);
    mIcon->setObjectName(QStringLiteral("picIcon"));
    mIcon->setGeometry(Twips::toPixels(*this, 180, 180, 540, 540));
    mIcon->setAlignment(Qt::AlignCenter);
    mIcon->setPixmap(QIcon(QStringLiteral(":/app/mrb_make.svg")).pixmap(32, 32));

    mTitle0 = new QLabel(QStringLiteral("直立消波ブロックデータ作成"), this);
    mTitle0->setObjectName(QStringLiteral("lblTitle_0"));
    mTitle1 = new QLabel(QStringLiteral("Ver 1.0.0"), this);
    mTitle1->setObjectName(QStringLiteral("lblTitle_1"));
    for (QLabel* l : {mTitle0, mTitle1})
        l->setFont(titleFont());

    mOK = new QPushButton(QStringLiteral("OK"), this);
    mOK->setObjectName(QStringLiteral("cmdOK"));
    mOK->setGeometry(Twips::toPixels(*this, 3780, 540, 960, 345));
    mOK->setDefault(true);
    mOK->setAutoDefault(true);
    // Esc rejects the dialog, which closes it as OK does.
    connect(mOK, &QPushButton::clicked, this, &QDialog::accept);

    Form_Load(dirs);
    // Labels take the stated places, widened where a larger font needs it.
    const QRect r0 = Twips::toPixels(*this, 870, 240, 2745, 225);
    const QRect r1 = Twips::toPixels(*this, 2580, 600, 1185, 240);
    mTitle0->setGeometry(QRect(r0.topLeft(), r0.size().expandedTo(mTitle0->sizeHint())));
    mTitle1->setGeometry(QRect(r1.topLeft(), r1.size().expandedTo(mTitle1->sizeHint())));
    QSize client(Twips::toPixelsX(*this, 4860), Twips::toPixelsY(*this, 1005));
    for (QWidget* w : {static_cast<QWidget*>(mTitle0), static_cast<QWidget*>(mTitle1),
                       static_cast<QWidget*>(mOK)})
        client = client.expandedTo(QSize(w->geometry().right() + Twips::toPixelsX(*this, 120),
                                         w->geometry().bottom() + Twips::toPixelsY(*this, 120)));
    setFixedSize(client);
}

void frmAbout::Form_Load(const QStringList& dirs)
{
    mTitle1->setText(QStringLiteral("Ver. ") + versionOf(versionFile(dirs)));
}
