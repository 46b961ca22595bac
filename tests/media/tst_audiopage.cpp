// The audio page on a fake player: choosing the folder, the files it writes, auto-play,
// the progress tick moving through the list, next and previous, the percent display.
#include "media/audiopage.h"

#include "controls/linklabel.h"
#include "media/folderlisting.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace zorv;

namespace {

const QStringList kFiveTracks = {"a1.mp3", "b2.wma", "c3.mp3", "d4.mp3", "e5.wma"};
// A folder of every kind the player plays, and two it does not.
const QStringList kMixedTracks = {"a.mp3", "b.WAV", "c.ogg", "d.flac", "e.m4a", "f.wma", "g.txt", "h.mid"};

struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<AudioPage> page;

    // A music folder beside "dados" holding empty files with these names.
    QString musicFolder(const QString &name = QStringLiteral("Musicas"),
                        const QStringList &tracks = kFiveTracks) const
    {
        const QString folder = data.root() + QStringLiteral("/") + name;
        QDir().mkpath(folder);
        for (const QString &t : tracks)
            QFile(folder + QLatin1Char('/') + t).open(QIODevice::WriteOnly);
        return folder;
    }
    AudioPage &make()
    {
        page = std::make_unique<AudioPage>(data.paths(), fake.services());
        return *page;
    }
    FakeAudioPlayer &player() const { return *fake.audio.last(); }
    // The page with a folder chosen through the dialog (the chosen track opened, not yet
    // completed).
    AudioPage &withFolder(const QString &chosen = QStringLiteral("a1.mp3"))
    {
        const QString folder = musicFolder();
        make();
        fake.dialogs.files << folder + QLatin1Char('/') + chosen;
        page->pmClick();
        return *page;
    }
    QString current() const
    {
        return page->FL2->currentRow() < 0 ? QString() : page->FL2->currentItem()->text();
    }
};

void clickLink(LinkLabel *link)
{
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
}

void clickRow(QListWidget *list, int row, bool twice = false)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestAudioPage : public QObject
{
    Q_OBJECT

private slots:
    void controlsAsLaidOut();
    void chooseMusic_data();
    void chooseMusic();
    void folderPathOutsideWindows1252SavedAsUtf8();
    void autoPlayAtStart_data();
    void autoPlayAtStart();
    void autoPlayTrackPlaysAloneAndStops();
    void tracksFollowOneAnother();
    void trackLookupPrefersTheExactName_data();
    void trackLookupPrefersTheExactName();
    void positionAtTheEndIsNotAnEnd();
    void failedOpenStopsTheList();
    void nextAndPrevious_data();
    void nextAndPrevious();
    void percentShown_data();
    void percentShown();
    void lengthArrivingLateMovesTheMaximum();
    void autoPlayMark();
    void progressImageOnlyWhilePlaying();
    void clickSelectsDoubleClickAndEnterPlay();
    void musicChoiceTakesTheTrackFirst();
    void seekPresetsAndPause();
    void showReopensFolderAndRemembersTrack();
    void showStopsWhenFolderVanished();
    void openFromFolderBrowser();
    void folderBrowserTrackPlaysAlone();
    void fullSuiteFormats_data();
    void fullSuiteFormats();
    void fullSuiteSaysWhenTheOpenFails();
    void fullSuitePlayerButtonsByKeyboard();
};

void TestAudioPage::controlsAsLaidOut()
{
    Fixture f;
    AudioPage &page = f.make();
    const QList<std::pair<const char *, QString>> captions = {
        {"pm", "Procurar m\u00fasicas"},
        {"nd", "0%"},
        {"pn1", "Reproduzir a faixa selecionada ao iniciar"},
        {"pn10", "Cancelar auto-reprodu\u00e7\u00e3o"},
        {"Label49", "M\u00fasicas for kids"},
        {"faCaption", "Faixa atual:"},
        {"st", ""},
        {"fa", ""},
    };
    for (const auto &[name, caption] : captions) {
        auto *label = page.findChild<QLabel *>(name);
        QVERIFY2(label, name);
        QCOMPARE(label->text(), caption);
    }
    for (QWidget *hidden :
         std::initializer_list<QWidget *>{page.pn1, page.pn10, page.Label49, page.st, page.faCaption, page.fa,
                                          page.TB1, page.TrackBar1, page.FLi, page.gg})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    QVERIFY(!page.pm->isHidden());
    QVERIFY(!page.FL2->isHidden());
    QCOMPARE(page.Image19->toolTip(), QStringLiteral("Pr\u00f3xima faixa"));
    QCOMPARE(page.Image20->toolTip(), QStringLiteral("Faixa anterior"));
    for (const char *name : {"Image19", "Image20", "Image11", "Image12", "Image14", "Image15", "Image16",
                             "Image17", "Image1", "Image10", "Image18"}) {
        auto *w = page.findChild<QWidget *>(name);
        QVERIFY2(w && !w->isEnabled(), name);
    }
    QVERIFY(page.gg2->width() <= 100);
    QCOMPARE(page.FLi->mask(), QStringLiteral("*.mp3;*.wma"));

    QCOMPARE(page.TMMP.interval(), 1000);
    QVERIFY(!page.TMMP.isActive());
    QCOMPARE(page.Timer1.interval(), 1000);
    QVERIFY(page.Timer1.isActive());
    QCOMPARE(page.Timer5.interval(), 5000);
    QVERIFY(page.Timer5.isSingleShot() && !page.Timer5.isActive());
    QCOMPARE(page.Timer4.interval(), 2000);
    QVERIFY(page.Timer4.isSingleShot() && !page.Timer4.isActive());
}

void TestAudioPage::chooseMusic_data()
{
    QTest::addColumn<QString>("chosen"); // relative to the music folder; empty: cancelled
    QTest::addColumn<bool>("kids");
    QTest::addColumn<bool>("lists");
    QTest::addColumn<QString>("selected");

    QTest::newRow("cancelled") << QString() << false << false << QString();
    QTest::newRow("no extension") << "LEIAME" << false << false << QString();
    QTest::newRow("a track") << "c3.mp3" << false << true << "c3.mp3";
    QTest::newRow("name in another case") << "D4.MP3" << false << true << "d4.mp3";
    QTest::newRow("kids folder") << "b2.wma" << true << true << "b2.wma";
}

void TestAudioPage::chooseMusic()
{
    QFETCH(QString, chosen);
    QFETCH(bool, kids);
    QFETCH(bool, lists);
    QFETCH(QString, selected);

    Fixture f;
    const QString folder = f.musicFolder();
    f.data.write("dados/Play.list", "/antiga/\r\n");
    AudioPage &page = f.make();
    if (!chosen.isEmpty())
        f.fake.dialogs.files << folder + QLatin1Char('/') + chosen;
    if (kids)
        clickLink(page.Label49);
    else
        clickLink(page.pm);

    QCOMPARE(f.fake.dialogs.shown.size(), 1);
    QCOMPARE(f.fake.dialogs.shown[0].filter, QStringLiteral("Media (*.mp3 *.wma)"));
    const QByteArray listBytes = (QDir::toNativeSeparators(folder) + QDir::separator()).toUtf8() + "\r\n";
    if (!lists) {
        QCOMPARE(f.data.read("dados/Play.list"), QByteArray("/antiga/\r\n"));
        QCOMPARE(page.FL2->count(), 0);
        QVERIFY(f.player().calls.isEmpty());
        return;
    }
    QCOMPARE(f.data.read(kids ? "dados/PlayK.list" : "dados/Play.list"), listBytes);
    if (kids)
        QCOMPARE(f.data.read("dados/Play.list"), QByteArray("/antiga/\r\n"));
    QCOMPARE(page.FLi->names(), kFiveTracks);
    QStringList shown;
    for (int i = 0; i < page.FL2->count(); ++i)
        shown << page.FL2->item(i)->text();
    QCOMPARE(shown, kFiveTracks);
    QCOMPARE(f.current(), selected);
    QCOMPARE(page.FLi->currentRow(), page.FL2->currentRow());
    QCOMPARE(f.player().calls.last(), QStringLiteral("open ") + folder + QLatin1Char('/') + selected);

    f.player().completeOpen(180000);
    QCOMPARE(page.TB1->maximum(), 180000);
    QVERIFY(page.TMMP.isActive());
    QVERIFY(f.player().isPlaying());
    QCOMPARE(page.fa->text(), selected.chopped(4));
}

void TestAudioPage::folderPathOutsideWindows1252SavedAsUtf8()
{
    Fixture f;
    const QString folder = f.musicFolder(QStringLiteral("M\u00fasica \u2603"), {"um.mp3"});
    AudioPage &page = f.make();
    f.fake.dialogs.files << folder + QStringLiteral("/um.mp3");
    page.pmClick();
    QCOMPARE(f.data.read("dados/Play.list"),
             QByteArray("\xEF\xBB\xBF") + (QDir::toNativeSeparators(folder) + QDir::separator()).toUtf8() +
                 "\r\n");
    // A plain folder still lands in Windows-1252 in a fresh installation.
    Fixture g;
    const QString plain = g.musicFolder(QStringLiteral("M\u00fasica"), {"um.mp3"});
    g.make();
    g.fake.dialogs.files << plain + QStringLiteral("/um.mp3");
    g.page->pmClick();
    QCOMPARE(g.data.read("dados/Play.list"),
             QDir::toNativeSeparators(plain).toLatin1() + QDir::separator().toLatin1() + "\r\n");
}

void TestAudioPage::autoPlayAtStart_data()
{
    QTest::addColumn<QByteArray>("autoRep"); // null: no file
    QTest::addColumn<bool>("iconRaised");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<bool>("plays");

    QTest::newRow("no file") << QByteArray() << false << false << false;
    QTest::newRow("empty file") << QByteArray("") << false << false << false;
    QTest::newRow("a track") << QByteArray("TRACK\r\n") << false << true << true;
    QTest::newRow("appointment icon raised") << QByteArray("TRACK\r\n") << true << true << false;
}

void TestAudioPage::autoPlayAtStart()
{
    QFETCH(QByteArray, autoRep);
    QFETCH(bool, iconRaised);
    QFETCH(bool, armed);
    QFETCH(bool, plays);

    Fixture f;
    const QString folder = f.musicFolder();
    const QString track = folder + QStringLiteral("/c3.mp3");
    if (!autoRep.isNull())
        f.data.write("Dados/Auto.rep", autoRep.replace("TRACK", track.toUtf8()));
    f.data.write("dados/Play.list", folder.toUtf8() + "/\r\n");
    AudioPage &page = f.make();
    page.setAppointmentIconRaised([iconRaised] { return iconRaised; });
    page.LoadAutoPlay();
    page.LoadPlaylist();
    QCOMPARE(page.Timer5.isActive(), armed);
    if (!armed)
        return;
    page.Timer5Timer();
    QVERIFY(!page.Timer5.isActive());
    if (!plays) {
        QVERIFY(f.player().calls.isEmpty());
        QCOMPARE(page.endOfListFlag(), QStringLiteral("n"));
        return;
    }
    QCOMPARE(f.player().calls, QStringList({"close", "open " + track}));
    QCOMPARE(page.endOfListFlag(), QStringLiteral("s"));
    QCOMPARE(f.current(), QStringLiteral("a1.mp3")); // the list's first track selected
    f.player().completeOpen(4101);
    QCOMPARE(page.TB1->maximum(), 4101);
    QVERIFY(page.TMMP.isActive());
    QVERIFY(f.player().isPlaying());
    QCOMPARE(page.fa->text(), QStringLiteral("c3"));
}

// The auto-play track plays by itself and nothing after it: its end stops the player, even
// with a track list filled by a show.
void TestAudioPage::autoPlayTrackPlaysAloneAndStops()
{
    Fixture f;
    const QString folder = f.musicFolder();
    f.data.write("Dados/Auto.rep", folder.toUtf8() + "/d4.mp3\r\n");
    f.data.write("dados/Play.list", folder.toUtf8() + "/\r\n");
    AudioPage &page = f.make();
    page.LoadAutoPlay();
    page.LoadPlaylist();
    page.Timer5Timer();
    f.player().completeOpen(1000);
    QVERIFY(f.player().isPlaying());
    f.player().calls.clear();

    f.player().moveTo(1000);
    f.player().endTrack();
    page.TMMPTimer();
    QVERIFY(!f.player().isPlaying());
    QVERIFY(!f.player().isOpen() && !f.player().isOpening());
    QVERIFY(!f.player().calls.join(u' ').contains(QStringLiteral("open")));
    QVERIFY(!page.TMMP.isActive());
    QCOMPARE(page.endOfListFlag(), QStringLiteral("n"));
    QCOMPARE(page.nd->text(), QStringLiteral("0%"));
    QCOMPARE(f.current(), QStringLiteral("a1.mp3")); // selected, not played
    page.TMMPTimer();
    QVERIFY(!f.player().isOpening());
}

// A track started from the list plays on into the next one; the last track's end starts the
// first again.
void TestAudioPage::tracksFollowOneAnother()
{
    Fixture f;
    const QString folder = f.musicFolder();
    f.data.write("dados/Play.list", folder.toUtf8() + "/\r\n");
    AudioPage &page = f.make();
    page.LoadPlaylist();
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    clickRow(page.FL2, 3, true);
    f.player().completeOpen(1000);
    QCOMPARE(f.player().path, folder + QStringLiteral("/d4.mp3"));

    const QStringList expected = {"e5.wma", "a1.mp3", "b2.wma"};
    for (const QString &next : expected) {
        f.player().moveTo(1066);
        f.player().endTrack();
        page.TMMPTimer();
        QCOMPARE(f.current(), next);
        QCOMPARE(page.FLi->currentRow(), page.FL2->currentRow());
        QCOMPARE(f.player().path, folder + QLatin1Char('/') + next);
        QCOMPARE(page.nd->text(), QStringLiteral("0%"));
        QCOMPARE(page.TB1->value(), 0);
        QVERIFY(page.TMMP.isActive());
        f.player().completeOpen(1000);
        QVERIFY(f.player().isPlaying());
        QCOMPARE(page.rememberedIndex(), kFiveTracks.indexOf(next));
    }
    // A tick while the track plays only follows its position.
    f.player().moveTo(400);
    page.TMMPTimer();
    QCOMPARE(f.current(), QStringLiteral("b2.wma"));
    QCOMPARE(page.TB1->value(), 400);
    QCOMPARE(page.nd->text(), QStringLiteral("40%"));
}

// "Song.mp3" and "song.mp3" are two tracks: the name as spelled wins; a name found only in
// other letter case is still taken (a list copied from Windows), and an unknown one plays
// nothing. Through "Procurar músicas" and through the folder browser alike.
void TestAudioPage::trackLookupPrefersTheExactName_data()
{
    QTest::addColumn<QStringList>("tracks");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("fromBrowser");
    QTest::addColumn<QString>("played"); // empty: nothing

    const QStringList twoCases = {"Song.mp3", "song.mp3", "zeta.mp3"};
    for (const bool browser : {false, true}) {
        const char *via = browser ? "browser: " : "dialog: ";
        QTest::addRow("%sfirst of two names differing in case", via)
            << twoCases << "Song.mp3" << browser << "Song.mp3";
        QTest::addRow("%ssecond of two names differing in case", via)
            << twoCases << "song.mp3" << browser << "song.mp3";
        QTest::addRow("%sonly in other case", via)
            << QStringList{"a.mp3", "song.mp3"} << "SONG.mp3" << browser << "song.mp3";
        QTest::addRow("%snone", via) << QStringList{"a.mp3", "song.mp3"} << "other.mp3" << browser
                                     << QString();
    }
}

void TestAudioPage::trackLookupPrefersTheExactName()
{
    QFETCH(QStringList, tracks);
    QFETCH(QString, chosen);
    QFETCH(bool, fromBrowser);
    QFETCH(QString, played);

    Fixture f;
    const QString folder = f.musicFolder(QStringLiteral("Musicas"), tracks);
    AudioPage &page = f.make();
    if (fromBrowser) {
        page.openFromFolder(folder, chosen);
    } else {
        f.fake.dialogs.files << folder + QLatin1Char('/') + chosen;
        clickLink(page.pm);
    }
    QCOMPARE(page.FL2->count(), tracks.size());
    if (played.isEmpty()) {
        QVERIFY(!f.player().calls.join(u' ').contains(QStringLiteral("open")));
        return;
    }
    QCOMPARE(f.player().path, folder + QLatin1Char('/') + played);
    QCOMPARE(f.current(), played);
    QCOMPARE(page.FLi->currentRow(), page.FL2->currentRow());
}

void TestAudioPage::positionAtTheEndIsNotAnEnd()
{
    Fixture f;
    AudioPage &page = f.withFolder(QStringLiteral("b2.wma"));
    f.player().completeOpen(1000);
    f.player().moveTo(1000);
    page.TMMPTimer();
    page.TMMPTimer();
    QCOMPARE(f.current(), QStringLiteral("b2.wma"));
    QCOMPARE(page.nd->text(), QStringLiteral("100%"));
    // An end reported short of the length is an end.
    f.player().moveTo(990);
    f.player().endTrack();
    page.TMMPTimer();
    QCOMPARE(f.current(), QStringLiteral("c3.mp3"));
}

void TestAudioPage::failedOpenStopsTheList()
{
    Fixture f;
    AudioPage &page = f.withFolder(QStringLiteral("b2.wma"));
    f.player().completeOpen(1000);
    f.player().endTrack();
    page.TMMPTimer();
    QCOMPARE(f.current(), QStringLiteral("c3.mp3"));
    f.player().failOpen();
    QVERIFY(!page.TMMP.isActive());
    QVERIFY(!f.player().isPlaying());
    const qsizetype calls = f.player().calls.size();
    page.TMMPTimer();
    page.TMMPTimer();
    QCOMPARE(f.current(), QStringLiteral("c3.mp3"));
    QCOMPARE(f.player().calls.size(), calls);
}

void TestAudioPage::nextAndPrevious_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("to"); // empty: nothing selected, nothing opened

    QTest::newRow("next") << "b2.wma" << true << "c3.mp3";
    QTest::newRow("previous") << "b2.wma" << false << "a1.mp3";
    QTest::newRow("next past the last") << "e5.wma" << true << QString();
    QTest::newRow("previous before the first") << "a1.mp3" << false << QString();
}

void TestAudioPage::nextAndPrevious()
{
    QFETCH(QString, from);
    QFETCH(bool, forward);
    QFETCH(QString, to);

    Fixture f;
    AudioPage &page = f.withFolder(from);
    f.player().completeOpen(1000);
    f.player().moveTo(500);
    page.TMMPTimer();
    QCOMPARE(page.nd->text(), QStringLiteral("50%"));
    f.player().calls.clear();

    if (forward)
        page.Image19Click();
    else
        page.Image20Click();

    QCOMPARE(f.current(), to);
    QCOMPARE(page.FLi->currentRow(), page.FL2->currentRow());
    QVERIFY(!page.TMMP.isActive());
    QCOMPARE(page.nd->text(), QStringLiteral("0%"));
    QCOMPARE(page.TB1->value(), 0);
    QCOMPARE(f.player().calls.mid(0, 2), QStringList({"stop", "close"}));
    if (to.isEmpty()) {
        QVERIFY(!f.player().isOpening() && !f.player().isOpen());
    } else {
        QCOMPARE(f.player().calls.last(), "open " + page.FLi->directory() + "/" + to);
        f.player().completeOpen(2000);
        QVERIFY(page.TMMP.isActive());
    }
}

void TestAudioPage::percentShown_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<int>("width");

    QTest::newRow("truncated") << 1000 << 999 << "99%" << 99;
    QTest::newRow("half") << 4101 << 2051 << "50%" << 50;
    QTest::newRow("end") << 1066 << 1066 << "100%" << 100;
    QTest::newRow("maximum 0 changes nothing") << 0 << 0 << "7%" << 7;
}

void TestAudioPage::percentShown()
{
    QFETCH(int, maximum);
    QFETCH(int, position);
    QFETCH(QString, percent);
    QFETCH(int, width);

    Fixture f;
    AudioPage &page = f.make();
    page.nd->setText(QStringLiteral("7%"));
    page.gg->resize(7, page.gg->height());
    for (QSlider *bar : {page.TB1, page.TrackBar1}) {
        bar->setMaximum(maximum);
        bar->setValue(position);
        QCOMPARE(page.nd->text(), percent);
        QCOMPARE(page.gg->width(), width);
    }
}

void TestAudioPage::lengthArrivingLateMovesTheMaximum()
{
    Fixture f;
    AudioPage &page = f.withFolder();
    f.player().completeOpen(0);
    QCOMPARE(page.TB1->maximum(), 0);
    f.player().setLength(3000);
    QCOMPARE(page.TB1->maximum(), 3000);
    f.player().moveTo(1500);
    page.TMMPTimer();
    QCOMPARE(page.nd->text(), QStringLiteral("50%"));
}

void TestAudioPage::autoPlayMark()
{
    Fixture f;
    AudioPage &page = f.withFolder(QStringLiteral("d4.mp3"));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    clickRow(page.FL2, 1);
    QCOMPARE(page.FLi->currentRow(), 1);

    page.pn1Click();
    QCOMPARE(f.data.read("Dados/Auto.rep"),
             QDir::toNativeSeparators(page.FLi->directory() + "/b2.wma").toUtf8() + "\r\n");
    QCOMPARE(page.st->text(), QStringLiteral("OK!"));
    QVERIFY(page.Timer4.isActive());
    page.Timer4Timer();
    QCOMPARE(page.st->text(), QString());
    QVERIFY(!page.Timer4.isActive());

    page.pn10Click();
    QCOMPARE(f.data.read("Dados/Auto.rep"), QByteArray());
    QVERIFY(QFile::exists(f.data.file("Dados/Auto.rep")));
    QVERIFY(page.Timer4.isActive());
}

void TestAudioPage::progressImageOnlyWhilePlaying()
{
    Fixture f;
    AudioPage &page = f.withFolder();
    page.Timer1Timer();
    QVERIFY(page.gg->isHidden());
    f.player().completeOpen(1000);
    f.player().moveTo(300);
    page.TMMPTimer();
    page.Timer1Timer();
    QVERIFY(!page.gg->isHidden());
    QCOMPARE(page.gg->width(), 30);
    page.pausar();
    page.Timer1Timer();
    QVERIFY(page.gg->isHidden());
    QCOMPARE(page.gg->width(), 0);
    page.pausar(); // resumes
    QVERIFY(f.player().isPlaying());
    page.parar();
    QVERIFY(!page.TMMP.isActive());
    QCOMPARE(page.nd->text(), QStringLiteral("0%"));
    QVERIFY(!f.player().isOpen());
}

void TestAudioPage::clickSelectsDoubleClickAndEnterPlay()
{
    Fixture f;
    AudioPage &page = f.withFolder();
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    f.player().calls.clear();

    clickRow(page.FL2, 2);
    QCOMPARE(page.FLi->currentRow(), 2);
    QVERIFY(f.player().calls.isEmpty());

    clickRow(page.FL2, 3, true);
    QCOMPARE(f.player().path, page.FLi->directory() + "/d4.mp3");

    page.FL2->setFocus();
    QTest::keyClick(page.FL2, Qt::Key_Up);
    QTest::keyClick(page.FL2, Qt::Key_Return);
    QCOMPARE(f.player().path, page.FLi->directory() + "/c3.mp3");
    QCOMPARE(page.FLi->currentRow(), 2);
}

void TestAudioPage::musicChoiceTakesTheTrackFirst()
{
    Fixture f;
    AudioPage &page = f.withFolder();
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QStringList stored;
    bool choosing = true;
    page.setMusicChoiceHandler([&](const QString &path) {
        if (choosing)
            stored << path;
        return choosing;
    });
    f.player().calls.clear();
    clickRow(page.FL2, 4, true);
    QCOMPARE(stored, QStringList{page.FLi->directory() + "/e5.wma"});
    QVERIFY(f.player().calls.isEmpty());

    choosing = false;
    page.FL2->setFocus();
    QTest::keyClick(page.FL2, Qt::Key_Enter);
    QCOMPARE(f.player().path, page.FLi->directory() + "/e5.wma");
}

void TestAudioPage::seekPresetsAndPause()
{
    Fixture f;
    AudioPage &page = f.withFolder();
    f.player().completeOpen(4101);
    f.player().calls.clear();
    page.Image14Click();
    QCOMPARE(f.player().calls, QStringList({"pause", "seek 1640", "play"})); // 4101 div 100 x 40
    QCOMPARE(page.TB1->value(), 1640);
    QCOMPARE(f.player().position(), 1640);
    page.Image17Click();
    QCOMPARE(f.player().position(), 4100);
    page.Image11Click();
    QCOMPARE(f.player().position(), 0);
    QVERIFY(f.player().isPlaying());
}

void TestAudioPage::showReopensFolderAndRemembersTrack()
{
    Fixture f;
    const QString folder = f.musicFolder();
    f.data.write("dados/Play.list", folder.toUtf8() + "/\r\n");
    AudioPage &page = f.make();
    page.ResetPlaylistPosition();
    page.LoadPlaylist();
    page.SelectRememberedTrack();
    QCOMPARE(page.FL2->count(), 5);
    QCOMPARE(f.current(), QStringLiteral("a1.mp3"));

    page.Image19Click(); // b2 plays: the next show selects it again
    page.Image19Click();
    QCOMPARE(page.rememberedIndex(), 2);
    QFile(folder + "/0novo.mp3").open(QIODevice::WriteOnly);
    page.LoadPlaylist();
    page.SelectRememberedTrack();
    QCOMPARE(page.FL2->count(), 6);
    QCOMPARE(page.FL2->currentRow(), 2);
    QCOMPARE(page.FLi->currentRow(), 2);
}

void TestAudioPage::showStopsWhenFolderVanished()
{
    Fixture f;
    AudioPage &page = f.withFolder();
    f.player().completeOpen(1000);
    QVERIFY(QDir(page.FLi->directory()).removeRecursively());
    page.LoadPlaylist();
    QCOMPARE(page.FL2->count(), 0);
    QVERIFY(!f.player().isOpen());
    QVERIFY(!page.TMMP.isActive());

    // A folder from another system lists nothing and is not taken as a relative name.
    f.data.write("dados/Play.list", "C:\\Musicas\\\r\n");
    page.LoadPlaylist();
    QCOMPARE(page.FL2->count(), 0);
    QCOMPARE(page.lbi.lines(), QStringList{"C:\\Musicas\\"});
}

void TestAudioPage::openFromFolderBrowser()
{
    Fixture f;
    const QString folder = f.musicFolder();
    AudioPage &page = f.make();
    page.openFromFolder(folder, QStringLiteral("D4"));
    QCOMPARE(f.data.read("dados/Play.list"), (QDir::toNativeSeparators(folder) + "/\r\n").toUtf8());
    QCOMPARE(f.current(), QStringLiteral("d4.mp3"));
    QCOMPARE(page.rememberedIndex(), 3);
    QCOMPARE(f.player().path, folder + "/d4.mp3");
}

// A track opened from the folder browser plays alone: its end starts no other one.
void TestAudioPage::folderBrowserTrackPlaysAlone()
{
    Fixture f;
    const QString folder = f.musicFolder();
    AudioPage &page = f.make();
    page.openFromFolder(folder, QStringLiteral("b2.wma"));
    f.player().completeOpen(1000);
    f.player().endTrack();
    page.TMMPTimer();
    QCOMPARE(f.player().path, folder + QStringLiteral("/b2.wma"));
    QVERIFY(!f.player().isPlaying() && !f.player().isOpening());
    QVERIFY(!page.TMMP.isActive());
    QCOMPARE(f.current(), QStringLiteral("b2.wma"));
}

void TestAudioPage::fullSuiteFormats_data()
{
    QTest::addColumn<bool>("fullSuite");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("listed"); // empty: the list and the playlist file unchanged
    QTest::addColumn<QString>("status");
    const QStringList all{"a.mp3", "b.WAV", "c.ogg", "d.flac", "e.m4a", "f.wma"};
    QTest::newRow("wav") << true << "b.WAV" << all << "";
    QTest::newRow("flac") << true << "d.flac" << all << "";
    QTest::newRow("text file") << true << "g.txt" << QStringList() << "Formato não suportado";
    QTest::newRow("midi file") << true << "h.mid" << QStringList() << "Formato não suportado";
    // Without the full suite the page lists and plays what it always did, and says nothing.
    QTest::newRow("off: wav") << false << "b.WAV" << QStringList{"a.mp3", "f.wma"} << "";
    QTest::newRow("off: mp3") << false << "a.mp3" << QStringList{"a.mp3", "f.wma"} << "";
}

// Choosing music with the full suite on lists every format the player plays and opens the
// chosen one; a file of another kind is named as not supported and changes nothing.
void TestAudioPage::fullSuiteFormats()
{
    QFETCH(bool, fullSuite);
    QFETCH(QString, chosen);
    QFETCH(QStringList, listed);
    QFETCH(QString, status);
    Fixture f;
    const QString folder = f.musicFolder(QStringLiteral("Mistura"), kMixedTracks);
    AudioPage &page = f.make();
    page.setFullSuite(fullSuite);
    QCOMPARE(page.st->isHidden(), !fullSuite);
    f.fake.dialogs.files << folder + QLatin1Char('/') + chosen;
    page.pmClick();

    QCOMPARE(page.st->text(), status);
    if (listed.isEmpty()) {
        QCOMPARE(page.FL2->count(), 0);
        QVERIFY(!QFile::exists(f.data.file("dados/Play.list")));
        QVERIFY(f.player().calls.isEmpty());
        return;
    }
    QStringList names;
    for (int i = 0; i < page.FL2->count(); ++i)
        names << page.FL2->item(i)->text();
    QCOMPARE(names, listed);
    QVERIFY(QFile::exists(f.data.file("dados/Play.list")));
    if (listed.contains(chosen)) {
        QCOMPARE(f.current(), chosen);
        QCOMPARE(QFileInfo(f.player().path).fileName(), chosen);
    } else {
        QVERIFY(f.player().calls.isEmpty());
    }
}

// A track the player cannot open is named as not supported (full suite only); the next
// track that opens takes the note away.
void TestAudioPage::fullSuiteSaysWhenTheOpenFails()
{
    for (const bool fullSuite : {false, true}) {
        Fixture f;
        const QString folder = f.musicFolder(QStringLiteral("Mistura"), kMixedTracks);
        AudioPage &page = f.make();
        page.setFullSuite(fullSuite);
        f.fake.dialogs.files << folder + QStringLiteral("/c.ogg");
        page.pmClick();
        f.player().failOpen();
        QCOMPARE(page.st->text(), fullSuite ? QStringLiteral("Formato não suportado") : QString());
        page.Image19Click();
        QCOMPARE(page.st->text(), QString());
    }
}

// The play/pause and stop buttons: hidden without the full suite; with it, reached with Tab
// and pressed with Enter or Space.
void TestAudioPage::fullSuitePlayerButtonsByKeyboard()
{
    Fixture f;
    f.musicFolder();
    f.data.write("dados/Play.list", (f.data.root() + "/Musicas/\r\n").toUtf8());
    AudioPage &page = f.make();
    page.LoadPlaylist();
    QVERIFY(page.playPause->isHidden());
    QVERIFY(page.stopButton->isHidden());
    page.setFullSuite(true);
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
    QCOMPARE(page.FL2->count(), 5);

    // Tab from the track list reaches both buttons.
    page.FL2->setFocus();
    QStringList reached;
    for (int i = 0; i < 40 && reached.size() < 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        if ((focus == page.playPause || focus == page.stopButton) && !reached.contains(focus->objectName()))
            reached << focus->objectName();
    }
    QCOMPARE(reached.size(), 2);
    QCOMPARE(page.playPause->accessibleName(), QStringLiteral("Reproduzir"));
    QCOMPARE(page.stopButton->accessibleName(), QStringLiteral("Parar"));

    // Enter with nothing selected plays the first track.
    page.playPause->setFocus();
    QTest::keyClick(page.playPause, Qt::Key_Return);
    QCOMPARE(f.current(), QStringLiteral("a1.mp3"));
    f.player().completeOpen(3000);
    QVERIFY(f.player().isPlaying());
    QCOMPARE(page.playPause->accessibleName(), QStringLiteral("Pausar"));
    // Space pauses and resumes.
    QTest::keyClick(page.playPause, Qt::Key_Space);
    QVERIFY(f.player().isPaused());
    QCOMPARE(page.playPause->accessibleName(), QStringLiteral("Reproduzir"));
    QTest::keyClick(page.playPause, Qt::Key_Space);
    QVERIFY(f.player().isPlaying());
    // Stop lets the track go and clears the progress.
    f.player().moveTo(1500);
    page.TMMPTimer();
    QCOMPARE(page.nd->text(), QStringLiteral("50%"));
    page.stopButton->setFocus();
    QTest::keyClick(page.stopButton, Qt::Key_Return);
    QVERIFY(!f.player().isPlaying());
    QVERIFY(!f.player().isOpen());
    QVERIFY(!page.TMMP.isActive());
    QCOMPARE(page.nd->text(), QStringLiteral("0%"));
    QCOMPARE(page.playPause->accessibleName(), QStringLiteral("Reproduzir"));

    // Switched off again: the buttons go and the list holds the first kinds only.
    page.setFullSuite(false);
    QVERIFY(page.playPause->isHidden());
    QVERIFY(page.stopButton->isHidden());
}

QTEST_MAIN(TestAudioPage)
#include "tst_audiopage.moc"
