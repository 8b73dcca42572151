#include "AboutBox.h"

#include "CodePage.h"
#include "MyLabel.h"
#include "Settings.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About...");

    auto* picture = new QLabel(this);
    picture->setObjectName("ProgramIcon");
    picture->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));

    auto* title = new TMyLabel("Quorve PLU manager", this);
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

    Version = new QLabel("Version 3.81", this);
    Version->setObjectName("Version");
    Copyright = new QLabel("2005", this);
    Copyright->setObjectName("Copyright");
    Build = new QLabel("Build 20050531", this);
    Build->setObjectName("Build");
    Comments = new QLabel(DocumentCodePage().ToUnicode(CompanyText), this);
    Comments->setObjectName("Comments");
    Comments->setWordWrap(true);

    auto* ok = new QPushButton("&OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(ProductName, 0, 1);
    layout->addWidget(Version, 1, 1);
    layout->addWidget(Copyright, 2, 1);
    layout->addWidget(Build, 3, 1);
    layout->addWidget(Comments, 4, 0, 1, 2);
    layout->addWidget(ok, 5, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
