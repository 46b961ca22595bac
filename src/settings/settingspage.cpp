#include "settingspage.h"

#include "controls/captions.h"
#include "controls/keys.h"
#include "controls/linklabel.h"
#include "reports/launcher.h"
#include "security/password.h"
#include "store/flagfile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace zorv {

namespace {

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A box and the label beside it; the label takes no clicks, only the box toggles.
QHBoxLayout *switchRow(QCheckBox *box, const QString &caption, QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(box);
    auto *label = new QLabel(caption, parent);
    label->setObjectName(box->objectName() + QStringLiteral("Caption"));
    row->addWidget(label);
    row->addStretch();
    return row;
}

} // namespace

QList<PolicyKey> accessPolicyLock()
{
    return {
        {QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\"),
         {{QStringLiteral("DisableTaskMgr"), 1}}},
        {QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\"),
         {{QStringLiteral("NoChangeStartMenu"), 1},
          {QStringLiteral("NoClose"), 0},
          {QStringLiteral("NoLogOff"), 1}}},
    };
}

QCheckBox *makeSwitchBox(const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(QStringLiteral("CK"), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedSize(12, 12);
    return box;
}

void makeDigitPasswordField(QLineEdit *field)
{
    // A paste holding anything but digits is refused whole by the validator.
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    field->setValidator(new QRegularExpressionValidator(digits, field));
    field->setEchoMode(QLineEdit::Password);
    field->setContextMenuPolicy(Qt::NoContextMenu);
}

SettingsPage::SettingsPage(const Paths &paths, Services &services, PasswordStore &password, FlagStaging &LB,
                           QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
    , m_password(password)
    , m_LB(LB)
{
    setObjectName(QStringLiteral("cfg"));
    useLightCaptions(this);
    buildLayout();

    TMCHK.setObjectName(QStringLiteral("TMCHK"));
    TMCHK.setInterval(checkInterval);
    TMCHK.setSingleShot(true);
    connect(&TMCHK, &QTimer::timeout, this, &SettingsPage::TMCHKTimer);

    // clicked() comes from the user only (mouse or Space), never from setChecked().
    connect(c1, &QCheckBox::clicked, this, &SettingsPage::c1MouseUp);
    connect(ai, &QCheckBox::clicked, this, &SettingsPage::aiMouseUp);
    connect(sfull, &QCheckBox::clicked, this, &SettingsPage::sfullMouseUp);
    connect(nrs, &QCheckBox::clicked, this, &SettingsPage::nrsMouseUp);
    connect(c3, &QCheckBox::clicked, this, &SettingsPage::c3MouseUp);
    connect(pm20, &LinkLabel::clicked, this, &SettingsPage::pm20Click);
    connect(CLS, &LinkLabel::clicked, this, &SettingsPage::CLSClick);
    connect(pmga, &LinkLabel::clicked, this, &SettingsPage::pmgaClick);
    esh->installEventFilter(this);
}

void SettingsPage::buildLayout()
{
    auto *columns = new QGridLayout(this);
    columns->setContentsMargins(24, 16, 24, 16);
    columns->setHorizontalSpacing(48);

    auto *header = new QVBoxLayout;
    headerTitle = heading(QStringLiteral("Configure o seu Zorv Home"), this);
    headerTitle->setObjectName(QStringLiteral("headerTitle"));
    headerText = new QLabel(QStringLiteral("Aplique as configurações de acordo com as suas necessidades para "
                                           "obter os resultados desejados..."),
                            this);
    headerText->setObjectName(QStringLiteral("headerText"));
    header->addWidget(headerTitle);
    header->addWidget(headerText);
    columns->addLayout(header, 0, 0, 1, 2);

    auto *left = new QVBoxLayout;
    left->setSpacing(6);
    c1 = makeSwitchBox("c1", this);
    ai = makeSwitchBox("ai", this);
    sfull = makeSwitchBox("sfull", this); // made after ai: Tab goes from ai to it
    left->addWidget(heading(QStringLiteral("Geral"), this));
    left->addLayout(switchRow(c1, QStringLiteral("Iniciar o computador direto no Zorv Home"), this));
    left->addWidget(heading(QStringLiteral("Performance"), this));
    left->addLayout(switchRow(ai, QStringLiteral("Abertura imediata (janelas)"), this));
    left->addLayout(switchRow(sfull, QStringLiteral("Mostrar todas as p\u00e1ginas"), this));
    pmga = new LinkLabel(QStringLiteral("Gerenciar Autorun"), this);
    pmga->setObjectName(QStringLiteral("pmga"));
    left->addWidget(pmga);

    left->addWidget(heading(QStringLiteral("Solicitar senha de acesso"), this));
    left->addWidget(new QLabel(QStringLiteral("Digite sua senha"), this));
    esh = new QLineEdit(this);
    esh->setObjectName(QStringLiteral("esh"));
    makeDigitPasswordField(esh);
    esh->setFixedWidth(160);
    left->addWidget(esh);
    auto *links = new QHBoxLayout;
    pm20 = new LinkLabel(QStringLiteral("Aplicar"), this);
    pm20->setObjectName(QStringLiteral("pm20"));
    CLS = new LinkLabel(QStringLiteral("Cancelar senha"), this);
    CLS->setObjectName(QStringLiteral("CLS"));
    links->addWidget(pm20);
    links->addWidget(new QLabel(QStringLiteral("|"), this));
    links->addWidget(CLS);
    links->addStretch();
    left->addLayout(links);

    left->addWidget(heading(QStringLiteral("Desbloquear Funcionário"), this));
    DBF = new QLineEdit(this);
    DBF->setObjectName(QStringLiteral("DBF"));
    makeDigitPasswordField(DBF);
    DBF->setFixedWidth(160);
    left->addWidget(DBF);
    left->addStretch();
    columns->addLayout(left, 1, 0);

    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    nrs = makeSwitchBox("nrs", this);
    c3 = makeSwitchBox("c3", this);
    right->addWidget(heading(QStringLiteral("Som de ambiente"), this));
    right->addLayout(switchRow(nrs, QStringLiteral("Não reproduzir som"), this));
    right->addLayout(switchRow(c3, QStringLiteral("Ignorar Splash Info"), this));
    right->addWidget(heading(QStringLiteral("Liberar programas do funcionário"), this));
    employeeArea = new QWidget(this);
    employeeArea->setObjectName(QStringLiteral("employeeArea"));
    auto *area = new QVBoxLayout(employeeArea);
    area->setContentsMargins(0, 0, 0, 0);
    right->addWidget(employeeArea, 1);
    columns->addLayout(right, 1, 1);
    columns->setColumnStretch(2, 1);
}

void SettingsPage::addCheckStep(std::function<void()> step)
{
    m_checkSteps.append(std::move(step));
}

QString SettingsPage::flagPath(const QString &file) const
{
    return file.startsWith(QLatin1Char('\\')) ? m_paths.windowsFile(file) : m_paths.resolve(file);
}

void SettingsPage::switchFlag(QCheckBox *box, const QString &file)
{
    const QString path = flagPath(file);
    const WriteResult switched = box->isChecked() ? m_LB.switchOn(path) : deleteFlagFile(path);
    // The store has logged a switch it could not write; the box then goes back to what the
    // file says, so the page never shows a setting that is not in force.
    if (!switched.ok())
        box->setChecked(flagFileExists(path));
}

void SettingsPage::c1MouseUp()
{
    switchFlag(c1, kStartDirectFile);
}

void SettingsPage::aiMouseUp()
{
    switchFlag(ai, kImmediateOpenFile);
}

void SettingsPage::sfullMouseUp()
{
    // One marker line of its own: this switch is not one of the page's staged switches.
    const QString path = flagPath(kSuiteFullFlag);
    const WriteResult switched = sfull->isChecked() ? writeFlagFile(path) : deleteFlagFile(path);
    if (!switched.ok()) {
        // Logged by the store; nothing changed on disk, so the suite is not switched either.
        sfull->setChecked(flagFileExists(path));
        return;
    }
    emit fullSuiteSwitched();
}

void SettingsPage::showFullSuite(bool on)
{
    sfull->setChecked(on);
}

void SettingsPage::nrsMouseUp()
{
    switchFlag(nrs, kNoSoundFile);
}

void SettingsPage::c3MouseUp()
{
    switchFlag(c3, kSkipSplashFile);
}

void SettingsPage::pm20Click()
{
    const QString typed = esh->text();
    if (typed.isEmpty())
        return;
    // Each key on its own: one that cannot be written does not keep the other from it.
    for (const PolicyKey &lock : accessPolicyLock())
        m_services.policies.write(lock.key, lock.values);
    // A password that could not be stored stays typed for another try; the store has logged
    // why it was not written.
    if (m_password.set(typed).ok())
        esh->clear();
}

void SettingsPage::CLSClick()
{
    m_password.clear();
}

void SettingsPage::eshKeyDown()
{
    // A built-in code is accepted without touching the field; the stored password empties it.
    if (m_password.verify(esh->text()) == PasswordStore::Verdict::StoredMatch)
        esh->clear();
}

void SettingsPage::pmgaClick()
{
    m_services.minimizer.minimizeAll();
    emit closeSuiteRequested();
    OpenThroughLauncher(m_paths, m_services, m_paths.resolve(kAutorunManager));
}

void SettingsPage::TMCHKTimer()
{
    TMCHK.stop();
    ai->setChecked(flagFileExists(flagPath(kImmediateOpenFile)));
    c1->setChecked(flagFileExists(flagPath(kStartDirectFile)));
    for (const auto &step : m_checkSteps)
        step();
}

void SettingsPage::ResetPasswordFields()
{
    esh->clear();
    DBF->clear();
}

void SettingsPage::AutostartFlag()
{
    c3->setChecked(flagFileExists(flagPath(kSkipSplashFile)));
}

void SettingsPage::SoundFlag()
{
    nrs->setChecked(flagFileExists(flagPath(kNoSoundFile)));
}

void SettingsPage::DeferredTimers()
{
    TMCHK.start();
}

bool SettingsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == esh && isEnterPress(event)) {
        eshKeyDown();
        return true; // the Enter itself goes no further
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zorv
