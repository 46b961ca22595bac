#include "organizer/trainerpage.h"

#include "controls/captions.h"
#include "controls/linklabel.h"
#include "platform/services.h"
#include "store/flagfile.h"
#include "store/paths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kIntervalFile = QStringLiteral("dados\\Personal.not");
const QString kSwitchFile = QStringLiteral("Dados\\Personal.pse");
const QString kNoSoundFile = QStringLiteral("dados\\Sound.viw");
const QString kChime = QStringLiteral(":/zorv/organizer/chime.wav");
const QString kTitle = QStringLiteral("Personal trainer");
const QStringList kIntervals = {QStringLiteral("30"), QStringLiteral("45"), QStringLiteral("60"),
                                QStringLiteral("90"), QStringLiteral("120")};
const QStringList kReminders = {
    QStringLiteral("Levante-se e alongue as pernas por um minuto."),
    QStringLiteral("Beba um copo de \u00e1gua."),
    QStringLiteral("Descanse os olhos: olhe para longe por 20 segundos."),
    QStringLiteral("Ajuste a postura: costas apoiadas e ombros relaxados."),
    QStringLiteral("Alongue punhos, m\u00e3os e pesco\u00e7o."),
    QStringLiteral("Respire fundo e relaxe os ombros."),
};

} // namespace

std::optional<int> trainerInterval(const QString &line)
{
    bool ok = false;
    const int minutes = line.toInt(&ok);
    if (!ok || minutes < 1 || minutes > TrainerPage::maxMinutes)
        return std::nullopt;
    return minutes;
}

TrainerPage::TrainerPage(const Paths &paths, Services &services, FlagStaging &LB, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
    , m_LB(LB)
{
    setObjectName(QStringLiteral("TrainerPage"));
    useLightCaptions(this);
    auto *outer = new QVBoxLayout(this);
    auto text = [this, outer](const QString &s, int growPt = 0) {
        auto *label = new QLabel(s, this);
        if (growPt) {
            QFont f = label->font();
            f.setPointSize(f.pointSize() + growPt);
            label->setFont(f);
        }
        outer->addWidget(label);
        return label;
    };
    text(QStringLiteral("Personal trainer"), 6);
    text(QStringLiteral("Deixe o Zorv lembrar voc\u00ea de atividades comuns do dia a dia..."), 2);

    clm = new QCheckBox(QStringLiteral("Ativar o Personal trainer"), this);
    clm->setObjectName(QStringLiteral("clm"));
    outer->addWidget(clm);

    auto *choice = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("&Definir tempo"), this);
    cmn = new QComboBox(this);
    cmn->setObjectName(QStringLiteral("cmn"));
    cmn->setEditable(false);
    cmn->addItems(kIntervals);
    cmn->setCurrentIndex(-1);
    caption->setBuddy(cmn);
    pml = new LinkLabel(QStringLiteral("Aplicar"), this);
    pml->setObjectName(QStringLiteral("pml"));
    choice->addWidget(caption);
    choice->addWidget(cmn);
    choice->addWidget(pml);
    choice->addStretch(1);
    outer->addLayout(choice);

    auto *sentence = new QHBoxLayout;
    sentence->addWidget(new QLabel(QStringLiteral("Notificar-me a cada"), this));
    lmn = new QLabel(QStringLiteral("30"), this);
    lmn->setObjectName(QStringLiteral("lmn"));
    sentence->addWidget(lmn);
    sentence->addWidget(new QLabel(QStringLiteral("minutos."), this));
    sentence->addStretch(1);
    outer->addLayout(sentence);

    text(QStringLiteral("O Personal trainer \u00e9 uma iniciativa do Zorv para tornar o seu dia a dia mais "
                        "agrad\u00e1vel e saud\u00e1vel."));
    text(QStringLiteral(
        "Ao ativ\u00e1-lo, voc\u00ea receber\u00e1 notifica\u00e7\u00f5es sobre pr\u00e1ticas comuns "
        "que o ajudar\u00e1 a manter o seu bom"));
    text(QStringLiteral("equil\u00edbrio durante uma jornada de trabalho..."));
    outer->addStretch(1);

    tmcm.setObjectName(QStringLiteral("tmcm"));
    TMPRS.setObjectName(QStringLiteral("TMPRS"));
    TMPRS.setInterval(tmprsInterval);
    TMPRS.setSingleShot(true);

    cmn->installEventFilter(this);
    connect(pml, &LinkLabel::clicked, this, &TrainerPage::pmlClick);
    // Every toggle by the user, by mouse or by keyboard; a toggle made by the periodic
    // check (setChecked) writes nothing.
    connect(clm, &QCheckBox::clicked, this, &TrainerPage::clmClick);
    connect(&tmcm, &QTimer::timeout, this, &TrainerPage::tmcmTimer);
    connect(&TMPRS, &QTimer::timeout, this, &TrainerPage::personal);
}

bool TrainerPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmn && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pmlClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TrainerPage::arm(int minutes)
{
    tmcm.setInterval(minutes * minuteMs);
    tmcm.start();
}

void TrainerPage::pmlClick()
{
    if (cmn->currentIndex() < 0)
        return;
    const QString chosen = cmn->currentText();
    cmn2.lines() = QStringList{chosen};
    if (!cmn2.save(m_paths.resolve(kIntervalFile)))
        return; // logged by the store; the interval shown and the timer stay as they were
    lmn->setText(chosen);
    arm(chosen.toInt());
}

void TrainerPage::clmClick(bool checked)
{
    const QString path = m_paths.resolve(kSwitchFile);
    const WriteResult switched = checked ? m_LB.switchOn(path) : deleteFlagFile(path);
    // The store has logged a switch it could not write; the box goes back to what the file
    // says, so the page never shows a reminder setting that is not in force.
    if (!switched.ok())
        clm->setChecked(flagFileExists(path));
}

void TrainerPage::CheckSwitch()
{
    clm->setChecked(flagFileExists(m_paths.resolve(kSwitchFile)));
}

void TrainerPage::personal()
{
    TMPRS.stop();
    if (cmn2.load(m_paths.resolve(kIntervalFile)) != TextList::LoadResult::Loaded || cmn2.lines().isEmpty())
        return;
    const QString line = cmn2.lines().first();
    if (line.isEmpty())
        return;
    // A value no timer can hold, or one that would fire on every pass of the event loop,
    // stops here as a non-number does.
    const std::optional<int> minutes = trainerInterval(line);
    if (!minutes)
        return;
    if (kIntervals.contains(line))
        lmn->setText(line);
    arm(*minutes);
}

void TrainerPage::tmcmTimer()
{
    if (!flagFileExists(m_paths.resolve(kSwitchFile)))
        return;
    m_services.notifier.notify(kTitle, kReminders[m_given % kReminders.size()]);
    ++m_given;
    if (!flagFileExists(m_paths.resolve(kNoSoundFile)))
        m_services.sound.play(kChime);
}

} // namespace zorv
