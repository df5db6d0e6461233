// The stored document value and the container that loads and saves it.

#include "documents/compoundfile.h"
#include "documents/documentcontainer.h"
#include "documents/formattoolbar.h"
#include "documents/storeddocument.h"
#include "testsupport.h"
#include "ui/fileprompts.h"
#include "ui/scriptedmessages.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextTable>
#include <QtEndian>

using namespace mizro;
using documents::CompoundFile;
using documents::DocumentContainer;
using documents::StoredDocument;

namespace {

quint32 u32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// An independent reader: the root's class identifier and the entries.
QStringList oleFileView(const QByteArray &image)
{
    QTemporaryFile f;
    if (!f.open())
        return {};
    f.write(image);
    f.flush();
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import olefile,sys\n"
                            "o=olefile.OleFileIO(sys.argv[1])\n"
                            "print(o.root.clsid)\n"
                            "for e in sorted('/'.join(x) for x in o.listdir()): print(repr(e))\n"),
             f.fileName()});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

struct Fixture {
    ui::ScriptedMessages messages;
    ui::ScriptedFilePrompts files;
    DocumentContainer container{messages, files};
};

QByteArray richValue()
{
    Fixture f;
    f.container.createObject("Word.Document");
    QTextCursor c(f.container.document());
    c.insertHtml("<h2>KARAR</h2><p><b>Encümen</b> toplandı: ğüşıöç İĞÜŞÖÇ</p>");
    c.insertTable(2, 2)->cellAt(0, 1).firstCursorPosition().insertText("hücre");
    documents::PageSetup page;
    page.header = "Belediye Encümeni";
    page.left = 30;
    f.container.setPageSetup(page);
    return f.container.saveToStream();
}

} // namespace

class TestStoredDocument : public QObject {
    Q_OBJECT
private slots:
    void nullValueOpensBlankAndSavesTheFormat()
    {
        Fixture f;
        f.container.createObject("Word.Document");
        QCOMPARE(f.container.textGetir(QByteArray()), DocumentContainer::Loaded::Nothing);
        QCOMPARE(f.container.state(), DocumentContainer::State::Loaded);
        f.container.doVerb(-1);
        QCOMPARE(f.container.state(), DocumentContainer::State::Active);
        const QByteArray value = f.container.saveToStream();
        QCOMPARE(value.left(4), QByteArray("BDOC"));
        QCOMPARE(u32(value, 4), 1u);
        QCOMPARE(qsizetype(u32(value, 8)), value.size() - 12);
        const QByteArray image = value.mid(12);
        QCOMPARE(image.left(8), QByteArray::fromHex("d0cf11e0a1b11ae1"));
        QCOMPARE(qFromLittleEndian<quint16>(image.constData() + 26), quint16(3)); // version 3
        QCOMPARE(qFromLittleEndian<quint16>(image.constData() + 30), quint16(9)); // 512 bytes
        const QStringList view = oleFileView(image);
        QCOMPARE(view.value(0), "6D495A52-4F44-4F43-8A11-3A1C0B5E2D01");
        QCOMPARE(view.mid(1),
                 (QStringList{"'\\x01CompObj'", "'\\x01Ole'", "'Contents'", "'PageSetup'"}));
        QCOMPARE(f.messages.entries().size(), 0);
    }

    void roundTripKeepsTheDocument()
    {
        const QByteArray value = richValue();
        Fixture f;
        f.container.createObject("Word.Document");
        QCOMPARE(f.container.textGetir(value), DocumentContainer::Loaded::Document);
        QTextDocument *doc = f.container.document();
        QVERIFY(doc->toPlainText().contains("ğüşıöç İĞÜŞÖÇ"));
        QVERIFY(doc->toPlainText().contains("hücre"));
        QCOMPARE(f.container.pageSetup().header, "Belediye Encümeni");
        QCOMPARE(f.container.pageSetup().left, 30.0);
        const QString html = doc->toHtml();
        // Saved again without edits: the same format, the same document.
        const QByteArray again = f.container.saveToStream();
        QCOMPARE(again.left(4), QByteArray("BDOC"));
        Fixture g;
        g.container.loadFromStream(again);
        QCOMPARE(g.container.document()->toHtml(), html);
        QCOMPARE(g.container.pageSetup(), f.container.pageSetup());
    }

    void badValuesGiveAnEmptyContainer_data()
    {
        QTest::addColumn<QByteArray>("value");
        const QByteArray good = richValue();
        QByteArray wrongSignature = good;
        wrongSignature[0] = 'X';
        QByteArray random(5000, Qt::Uninitialized);
        QRandomGenerator gen(7);
        for (char &c : random)
            c = char(gen.bounded(256));
        QByteArray forgedSize = good;
        qToLittleEndian<quint32>(0xFFFFFFF0u, forgedSize.data() + 8);
        QByteArray brokenImage = good;
        // The compound file's header: sector counts and the directory's start.
        for (int i = 12 + 44; i < 12 + 76; ++i)
            brokenImage[i] = char(0xFF);
        QTest::newRow("wrong signature") << wrongSignature;
        QTest::newRow("header only") << good.left(11);
        QTest::newRow("truncated") << good.left(good.size() / 2);
        QTest::newRow("size beyond the value") << forgedSize;
        QTest::newRow("random bytes") << random;
        QTest::newRow("BDOC and random bytes") << StoredDocument::frame(1, random);
        QTest::newRow("damaged image") << brokenImage;
    }
    void badValuesGiveAnEmptyContainer()
    {
        QFETCH(QByteArray, value);
        Fixture f;
        f.container.createObject("Word.Document");
        QCOMPARE(f.container.textGetir(value), DocumentContainer::Loaded::Unreadable);
        QVERIFY(f.container.isEmpty());
        QVERIFY(!f.container.document());
        QCOMPARE(f.messages.entries().size(), 0);
        for (auto op : {+[](DocumentContainer &c) { c.doVerb(-1); },
                        +[](DocumentContainer &c) { (void)c.saveToStream(); },
                        +[](DocumentContainer &c) {
                            c.close();
                        }}) {
            try {
                op(f.container);
                QFAIL("an empty container took the operation");
            } catch (const DocumentContainer::Error &e) {
                QCOMPARE(e.text(), "Operation not allowed on an empty OLE container");
            }
        }
    }

    void wrongSignatureIsAnInvalidStreamFormat()
    {
        try {
            StoredDocument::load(QByteArray("XDOC\1\0\0\0\0\0\0\0", 12));
            QFAIL("loaded");
        } catch (const StoredDocument::LoadError &e) {
            QCOMPARE(e.failure(), StoredDocument::Failure::InvalidFormat);
            QCOMPARE(e.text(), "Invalid stream format");
        }
    }

    void legacyDocumentIsRecognised_data()
    {
        QTest::addColumn<QByteArray>("classId");
        QTest::addColumn<QString>("stream");
        QTest::newRow("class and WordDocument")
            << StoredDocument::legacyClassId() << QStringLiteral("WordDocument");
        QTest::newRow("class only") << StoredDocument::legacyClassId() << QStringLiteral("1Table");
        QTest::newRow("WordDocument only") << QByteArray() << QStringLiteral("WordDocument");
    }
    void legacyDocumentIsRecognised()
    {
        QFETCH(QByteArray, classId);
        QFETCH(QString, stream);
        CompoundFile legacy;
        legacy.classId = classId;
        legacy.streams = {{stream, QByteArray(100, '\xec')}};
        const QByteArray value = StoredDocument::frame(1, legacy.write());
        Fixture f;
        f.container.createObject("Word.Document");
        QCOMPARE(f.container.textGetir(value), DocumentContainer::Loaded::Legacy);
        QVERIFY(f.container.isEmpty());
    }

    void aspectIsTakenOverAndOneIsWritten()
    {
        QByteArray value = richValue();
        qToLittleEndian<quint32>(4u, value.data() + 4);
        Fixture f;
        f.container.loadFromStream(value);
        QCOMPARE(f.container.aspect(), 4u);
        QCOMPARE(u32(f.container.saveToStream(), 4), 1u);
    }

    void replacesTheLastOccurrenceOnly()
    {
        Fixture f;
        f.container.createObject("Word.Document");
        QTextCursor(f.container.document()).insertHtml("<p>[A] bir</p><p><b>[A]</b> iki</p>");
        QVERIFY(f.container.replaceLast("[A]", "İğne"));
        QCOMPARE(f.container.document()->toPlainText(), "[A] bir\nİğne iki");
        // The replacement keeps the placeholder's formatting.
        QTextCursor c(f.container.document()->findBlockByNumber(1));
        c.movePosition(QTextCursor::Right);
        QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
        QVERIFY(f.container.replaceLast("[A]", "x"));
        QVERIFY(!f.container.replaceLast("[A]", "y"));
        QVERIFY(!f.container.replaceLast("[a]", "y"));
    }

    void pdfHasThePagesHeaderAndFooter()
    {
        Fixture f;
        f.container.loadFromStream(richValue());
        documents::PageSetup page = f.container.pageSetup();
        page.footer = "Yazı İşleri Müdürlüğü";
        f.container.setPageSetup(page);
        QTextCursor c(f.container.document());
        c.movePosition(QTextCursor::End);
        for (int i = 0; i < 120; ++i)
            c.insertText(QString("Satır %1 ğüşıöç\n").arg(i));
        QTemporaryDir dir;
        f.files.answer(dir.filePath("karar"));
        f.container.pdfAction()->trigger();
        QCOMPARE(f.messages.entries().size(), 0);
        QProcess p;
        p.start("pdftotext", {"-layout", dir.filePath("karar.pdf"), "-"});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        const int pages = int(text.count('\f'));
        QVERIFY(pages >= 3);
        QCOMPARE(text.count("Belediye Encümeni"), pages);
        QCOMPARE(text.count("Yazı İşleri Müdürlüğü"), pages);
        QVERIFY(QString(text).remove(QLatin1Char(' ')).contains(QString("%1/%1").arg(pages)));
        QVERIFY(text.contains("Satır 119 ğüşıöç"));
    }

    void tableCommandsOfTheBar()
    {
        using Command = documents::FormatToolBar::Command;
        Fixture f;
        f.container.createObject("Word.Document");
        f.container.doVerb(-1);
        documents::FormatToolBar *bar = f.container.toolBar();
        QVERIFY(!bar->action(Command::AddRow)->isEnabled());
        bar->action(Command::InsertTable)->trigger();
        QTextTable *table = f.container.editor()->textCursor().currentTable();
        QVERIFY(table);
        QVERIFY(bar->action(Command::AddRow)->isEnabled());
        bar->action(Command::AddRow)->trigger();
        bar->action(Command::AddColumn)->trigger();
        QCOMPARE(table->rows(), 3);
        QCOMPARE(table->columns(), 4);
        bar->action(Command::RemoveColumn)->trigger();
        bar->action(Command::RemoveRow)->trigger();
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 3);
        bar->action(Command::Bold)->trigger();
        test::typeText(f.container.editor(), "kalın");
        QVERIFY(f.container.document()->toHtml().contains("font-weight:700;\">kalın"));
        f.container.editor()->undo();
        QVERIFY(!f.container.document()->toPlainText().contains("kalın"));
    }

    void containerGoesWhileItsEditorHasTheFocus()
    {
        // The editor used to outlive the document it showed and touch it
        // once more as the closing window took its focus away.
        ui::ScriptedMessages messages;
        ui::ScriptedFilePrompts files;
        auto *container = new DocumentContainer(messages, files);
        container->show();
        container->loadFromStream(richValue());
        container->doVerb(-1);
        container->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(container));
        QVERIFY(container->editor()->hasFocus());
        delete container;
    }

    void pastedHtmlNeverFetchesPictures()
    {
        Fixture f;
        f.container.createObject("Word.Document");
        f.container.doVerb(-1);
        QTemporaryFile picture(QDir::tempPath() + "/XXXXXX.png");
        QVERIFY(picture.open());
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(&picture, "PNG");
        picture.close();
        auto *mime = new QMimeData;
        mime->setHtml(
            QString("<p><b>kalın</b><img src=\"file://%1\"></p>").arg(picture.fileName()));
        QApplication::clipboard()->setMimeData(mime);
        f.container.editor()->paste();
        QTextDocument *doc = f.container.document();
        QVERIFY(doc->toHtml().contains("font-weight"));
        QVERIFY(doc->resource(QTextDocument::ImageResource, QUrl::fromLocalFile(picture.fileName()))
                    .isNull());
        // A pasted picture is taken into the document itself.
        auto *image = new QMimeData;
        image->setImageData(red);
        QApplication::clipboard()->setMimeData(image);
        f.container.editor()->paste();
        const QByteArray value = f.container.saveToStream();
        Fixture g;
        g.container.loadFromStream(value);
        QVERIFY(g.container.document()->toHtml().contains("data:image/png;base64,"));
    }
};

MIZRO_TEST_MAIN(TestStoredDocument)
#include "tst_storeddocument.moc"
