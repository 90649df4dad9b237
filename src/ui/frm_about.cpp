#include "ui/frm_about.h"

#include "app/version.h"
#include "ui/app_icons.h"
#include "ui/web_links.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parcelo {

namespace {

QLabel* textLine(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

// "Built with Qt 6 (LGPL-3.0 or GPL-2.0), zlib (Zlib) and ..."
QString librariesLine(bool joiner)
{
    QStringList libraries;
    for (const ThirdPartyLibrary& library : kThirdPartyLibraries)
        if (library.inJoiner || !joiner)
            libraries << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(library.name),
                                                       QString::fromLatin1(library.licence));
    const QString last = libraries.takeLast();
    return QStringLiteral("Built with ") + libraries.join(QStringLiteral(", "))
           + QStringLiteral(" and ") + last + QStringLiteral(".");
}

} // namespace

frmAbout::frmAbout(const AboutDetails& details, Host& host, Desktop& desktop, QWidget* parent)
    : QDialog(parent), host_(host), desktop_(desktop)
{
    setObjectName(QStringLiteral("frmAbout"));
    const QString product = QString::fromStdString(details.productName);
    setWindowTitle(QStringLiteral("About ") + product);

    picIcon = textLine("picIcon", {}, this);
    picIcon->setPixmap(programIcon().pixmap(64, 64));
    picIcon->setAlignment(Qt::AlignTop);
    lblTitle = textLine("lblTitle", product, this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = textLine(
        "lblVersion", QStringLiteral("Version ") + QString::fromStdString(details.version), this);
    Label3 = textLine("Label3", QString::fromStdString(details.description), this);
    Label3->setVisible(!details.description.empty());
    Label2 = textLine("Label2", QStringLiteral("Compress and Split Files"), this);
    lblDescription = textLine(
        "lblDescription",
        QStringLiteral("Cut a large file into pieces that fit on diskettes or in e-mail messages, "
                       "compressing it first if you like. Check pieces before you rely on them, "
                       "carry or send them, and join them back into the original file, which is "
                       "decompressed for you."),
        this);
    Label4 = textLine(
        "Label4", QStringLiteral("On web: ") + QString::fromStdString(details.makerWebPage), this);
    Label1 =
        textLine("Label1", QStringLiteral("Copyright \u00a9 Norvane. All rights reserved."), this);
    lblLicence = textLine("lblLicence",
                          product + QStringLiteral(" is ") + QString::fromLatin1(kParceloLicence)
                              + QStringLiteral("."),
                          this);
    lblLibraries = textLine("lblLibraries", librariesLine(details.joiner), this);
    lblDisclaimer = textLine(
        "lblDisclaimer",
        QStringLiteral("Warning: this program is provided as is, without warranty of any kind. "
                       "Copying or passing it on, in whole or in part, is allowed only as its "
                       "licence permits."),
        this);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* text = new QVBoxLayout;
    for (QWidget* line : {static_cast<QWidget*>(lblTitle), static_cast<QWidget*>(lblVersion),
                          static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label2),
                          static_cast<QWidget*>(lblDescription), static_cast<QWidget*>(Label4)})
        text->addWidget(line);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addLayout(text, 1);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* foot = new QHBoxLayout;
    auto* notices = new QVBoxLayout;
    for (QLabel* notice : {Label1, lblLicence, lblLibraries, lblDisclaimer})
        notices->addWidget(notice);
    foot->addLayout(notices, 1);
    foot->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addLayout(foot);
    setFixedSize(480, layout->totalHeightForWidth(480)); // every wrapped line whole

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });
}

void frmAbout::StartSysInfo()
{
    parcelo::StartSysInfo(host_, desktop_);
}

} // namespace parcelo
