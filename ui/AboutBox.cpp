#include "AboutBox.h"

#include "CodePage.h"
#include "MyLabel.h"
#include "Settings.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle(tr("About..."));

    auto* picture = new QLabel(this);
    picture->setObjectName("ProgramIcon");
    // The installed icon where the icon theme can draw it (Qt's SVG plugin), else the style's.
    QPixmap icon = QIcon::fromTheme(ProgramIconName).pixmap(48, 48);
    picture->setPixmap(icon.isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48)
                                     : icon);

    auto* title = new TMyLabel(tr("Quorve PLU manager"), this);
    title->setObjectName("ProductName");
    QFont titleFont("Times New Roman");
    titleFont.setPixelSize(20);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QPalette palette = title->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 128, 128));
    title->setPalette(palette);
    title->SetBevelOuter(lbvNone);
    title->SetShadowColor(QColor(160, 160, 160));
    title->SetEffect(TMyLabel::Raised3D, 2);
    ProductName = title;

    Version = new QLabel(tr("Version 3.81"), this);
    Version->setObjectName("Version");
    Copyright = new QLabel("2005", this);
    Copyright->setObjectName("Copyright");
    Build = new QLabel(tr("Build 20050531"), this);
    Build->setObjectName("Build");
    Comments = new QLabel(DocumentCodePage().ToUnicode(CompanyText), this);
    Comments->setObjectName("Comments");
    Comments->setWordWrap(true);

    Release = new QLabel(this);
    Release->setObjectName("Release");
    Release->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Release->hide();
    Licence = new QLabel(tr("Copyright 2026 the Quorve PLU manager developers.\nFree software "
                            "under the GNU General Public License,\nversion 3 or later "
                            "(GPL-3.0-or-later), without any warranty."),
                         this);
    Licence->setObjectName("Licence");
    Licence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The folders a user is asked about when something goes wrong; selectable to copy them.
    auto place = [this](const char* name, const std::string& dir) {
        const QString path = QString::fromLocal8Bit(dir.c_str());
        const QString home = QDir::homePath() + '/';
        auto* label = new QLabel(path.startsWith(home) ? "~/" + path.mid(home.size()) : path, this);
        label->setToolTip(path);
        label->setObjectName(name);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    SettingsPlace = place("SettingsPlace", SettingsDir);
    StatePlace = place("StatePlace", StateDir);
    auto* settingsLabel = new QLabel(tr("Settings:"), this);
    settingsLabel->setObjectName("SettingsLabel");
    auto* stateLabel = new QLabel(tr("Logs:"), this);
    stateLabel->setObjectName("StateLabel");
    auto* places = new QGridLayout;
    places->addWidget(settingsLabel, 0, 0);
    places->addWidget(SettingsPlace, 0, 1);
    places->addWidget(stateLabel, 1, 0);
    places->addWidget(StatePlace, 1, 1);
    places->setColumnStretch(1, 1);

    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(ProductName, 0, 1);
    layout->addWidget(Version, 1, 1);
    layout->addWidget(Copyright, 2, 1);
    layout->addWidget(Build, 3, 1);
    layout->addWidget(Release, 4, 1);
    layout->addWidget(Licence, 5, 1);
    layout->addWidget(Comments, 6, 0, 1, 2);
    layout->addLayout(places, 7, 0, 1, 2);
    layout->addWidget(ok, 8, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::ShowRelease(const QString& text) {
    Release->setText(tr("Release %1").arg(text));
    Release->setVisible(!text.isEmpty());
}
