// The audio page's widgets and their layout: the row of controls (tracks, position,
// auto-play, volume, the slide show's links) over the track list. What they do is in
// audiopage.cpp.
#include "audiopage.h"

#include "folderlisting.h"
#include "slideshow.h"

#include "controls/captions.h"
#include "controls/linklabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace zorv {

namespace {

QToolButton *pictureButton(const char *name, const QString &text, const QString &hint, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setEnabled(false); // disabled as laid out
    return button;
}

QToolButton *pictureButton(const char *name, QStyle::StandardPixmap icon, const QString &hint,
                           QWidget *parent)
{
    QToolButton *button = pictureButton(name, QString(), hint, parent);
    button->setIcon(parent->style()->standardIcon(icon));
    return button;
}

QSlider *positionBar(const char *name, QWidget *parent)
{
    auto *bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 0);
    bar->hide();
    return bar;
}

} // namespace

void AudioPage::buildLayout()
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 4, 8, 4);

    auto *controls = new QHBoxLayout;
    addTrackControls(controls);
    addHiddenControls(controls);
    addVolumeControls(controls);

    auto *slideLinks = new QWidget(this);
    slideLinks->setObjectName(QStringLiteral("slideLinks"));
    auto *slideRow = new QHBoxLayout(slideLinks);
    slideRow->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(slideLinks);
    controls->addStretch(1);
    outer->addLayout(controls);

    addTrackList(outer, slideLinks);
}

void AudioPage::addTrackControls(QHBoxLayout *controls)
{
    pm = namedLink("pm", QStringLiteral("Procurar m\u00fasicas"), this);
    connect(pm, &LinkLabel::clicked, this, &AudioPage::pmClick);
    controls->addWidget(pm);

    Image20 = pictureButton("Image20", QStyle::SP_MediaSkipBackward, QStringLiteral("Faixa anterior"), this);
    Image19 =
        pictureButton("Image19", QStyle::SP_MediaSkipForward, QStringLiteral("Pr\u00f3xima faixa"), this);
    connect(Image20, &QToolButton::clicked, this, &AudioPage::Image20Click);
    connect(Image19, &QToolButton::clicked, this, &AudioPage::Image19Click);
    controls->addWidget(Image20);
    controls->addWidget(Image19);
    addPlayerButtons(controls);

    const std::pair<QToolButton **, const char *> seeks[] = {
        {&Image11, "Image11"}, {&Image12, "Image12"}, {&Image14, "Image14"},
        {&Image15, "Image15"}, {&Image16, "Image16"}, {&Image17, "Image17"},
    };
    void (AudioPage::*const seekSlots[])() = {&AudioPage::Image11Click, &AudioPage::Image12Click,
                                              &AudioPage::Image14Click, &AudioPage::Image15Click,
                                              &AudioPage::Image16Click, &AudioPage::Image17Click};
    for (int i = 0; i < 6; ++i) {
        *seeks[i].first = pictureButton(seeks[i].second, QString::number(i * 20), QString(), this);
        connect(*seeks[i].first, &QToolButton::clicked, this, seekSlots[i]);
        controls->addWidget(*seeks[i].first);
    }

    nd = namedLabel("nd", kNoPercent, this);
    controls->addWidget(nd);
    gg2 = namedLabel("gg2", QString(), this);
    gg2->setFixedSize(kProgressWidth, 6);
    gg2->setStyleSheet(QStringLiteral("background: #3a5f86;"));
    gg = namedLabel("gg", QString(), gg2);
    gg->setStyleSheet(QStringLiteral("background: #c0c0c0;"));
    gg->setGeometry(0, 0, 0, 6);
    gg->hide(); // hidden while nothing plays
    controls->addWidget(gg2);
}

void AudioPage::addPlayerButtons(QHBoxLayout *controls)
{
    playPause = new QToolButton(this);
    playPause->setObjectName(QStringLiteral("playPause"));
    stopButton = new QToolButton(this);
    stopButton->setObjectName(QStringLiteral("stopButton"));
    stopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    stopButton->setToolTip(tr("Parar"));
    stopButton->setAccessibleName(tr("Parar"));
    for (QToolButton *button : {playPause, stopButton}) {
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->installEventFilter(this); // Enter presses it, as Space does
        button->hide();                   // shown with the full suite on
        controls->addWidget(button);
    }
    connect(playPause, &QToolButton::clicked, this, &AudioPage::playPauseClick);
    connect(stopButton, &QToolButton::clicked, this, &AudioPage::stopClick);
    updatePlayPause();
}

void AudioPage::addHiddenControls(QHBoxLayout *controls)
{
    Image1 = namedLabel("Image1", QString(), this);
    Image10 = namedLabel("Image10", QString(), this);
    Image18 = namedLabel("Image18", QString(), this);
    for (QLabel *picture : {Image1, Image10, Image18}) {
        picture->setEnabled(false);
        controls->addWidget(picture);
    }

    pn1 = namedLink("pn1", QStringLiteral("Reproduzir a faixa selecionada ao iniciar"), this);
    pn10 = namedLink("pn10", QStringLiteral("Cancelar auto-reprodu\u00e7\u00e3o"), this);
    Label49 = namedLink("Label49", QStringLiteral("M\u00fasicas for kids"), this);
    connect(pn1, &LinkLabel::clicked, this, &AudioPage::pn1Click);
    connect(pn10, &LinkLabel::clicked, this, &AudioPage::pn10Click);
    connect(Label49, &LinkLabel::clicked, this, &AudioPage::MusK);
    st = namedLabel("st", QString(), this);
    faCaption = namedLabel("faCaption", QStringLiteral("Faixa atual:"), this);
    fa = namedLabel("fa", QString(), this);
    for (QWidget *hidden :
         {static_cast<QWidget *>(pn1), static_cast<QWidget *>(pn10), static_cast<QWidget *>(Label49),
          static_cast<QWidget *>(st), static_cast<QWidget *>(faCaption), static_cast<QWidget *>(fa)}) {
        hidden->hide(); // hidden as laid out
        controls->addWidget(hidden);
    }
}

void AudioPage::addVolumeControls(QHBoxLayout *controls)
{
    tb2 = new QSlider(Qt::Horizontal, this);
    tb2->setObjectName(QStringLiteral("tb2"));
    tb2->setRange(0, 100);
    tb2->setValue(5);
    tb2->hide(); // hidden as laid out
    connect(tb2, &QSlider::valueChanged, this, &AudioPage::tb2Change);
    controls->addWidget(tb2);
    const std::pair<QToolButton **, const char *> presets[] = {
        {&Image4, "Image4"}, {&Image5, "Image5"}, {&Image6, "Image6"},
        {&Image7, "Image7"}, {&Image8, "Image8"}, {&Image9, "Image9"},
    };
    for (int i = 0; i < 6; ++i) {
        *presets[i].first = pictureButton(presets[i].second, QString::number(i * 20), QString(), this);
        connect(*presets[i].first, &QToolButton::clicked, this, [this, i] { tb2->setValue(i * 20); });
        controls->addWidget(*presets[i].first);
    }
}

void AudioPage::addTrackList(QVBoxLayout *outer, QWidget *slideLinks)
{
    TB1 = positionBar("TB1", this);
    TrackBar1 = positionBar("TrackBar1", this);
    connect(TB1, &QSlider::valueChanged, this, [this] { showPercent(TB1); });
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { showPercent(TrackBar1); });

    lowerPanel = new QWidget(this);
    lowerPanel->setObjectName(QStringLiteral("lowerPanel"));
    auto *lower = new QHBoxLayout(lowerPanel);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    FL2 = new QListWidget(lowerPanel);
    FL2->setObjectName(QStringLiteral("FL2"));
    FL2->setUniformItemSizes(true);
    FL2->setFrameShape(QFrame::NoFrame);
    FL2->setStyleSheet(QStringLiteral("QListWidget#FL2 { color: #c0c0c0; background: transparent; }"
                                      "QListWidget#FL2::item { height: 20px; }"));
    lower->addWidget(FL2, 1);
    outer->addWidget(lowerPanel, 1);
    slides = new SlideShow(m_paths, m_services, this, lowerPanel, FL2, slideLinks);

    // The folder list lies under the page, never seen.
    FLi = new FileListBox(QString::fromLatin1(kMusicMask), this);
    FLi->setObjectName(QStringLiteral("FLi"));
    FLi->hide();

    connect(FL2, &QListWidget::currentRowChanged, this, [this](int row) {
        if (FLi->currentRow() != row)
            FLi->setCurrentRow(row);
    });
    // Double click and Enter only: a single click must select without playing, also on
    // desktops where one click activates an item.
    connect(FL2, &QListWidget::itemDoubleClicked, this, [this] { FL2DblClick(); });
    FL2->installEventFilter(this);
}

} // namespace zorv
