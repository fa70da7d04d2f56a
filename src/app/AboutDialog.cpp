#include "app/AboutDialog.h"

#include "app/Artwork.h"
#include "platform/Version.h"
#include "view/Footer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kyklos {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Kyklos"));
    setObjectName(QStringLiteral("AboutDialog100"));

    auto* picture = new QLabel(this);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setPixmap(AboutPicture(devicePixelRatioF()));
    picture->setFixedSize(picture->sizeHint());

    auto* version = new QLabel(QStringLiteral("Kyklos Version " KYKLOS_VERSION), this);
    auto* credit = new QLabel(QStringLiteral("Roundness metrology by Varnholt Instruments"), this);
    auto* address =
        new QLabel(QString::fromUtf8(kMakerWebAddress.data(), static_cast<qsizetype>(kMakerWebAddress.size())), this);
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* notice = new QLabel(QStringLiteral("Licensed under the Apache License 2.0."), this);

    auto* text = new QVBoxLayout;
    text->addStretch(1);
    text->addWidget(version);
    text->addSpacing(14);
    text->addWidget(credit);
    text->addWidget(address);
    text->addSpacing(14);
    text->addWidget(notice);
    text->addStretch(1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAboutDialog::accept);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addSpacing(8);
    layout->addLayout(text, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace kyklos
