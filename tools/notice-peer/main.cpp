// mizro-notice-peer: a stand-in for the vendor's server on 127.0.0.1, to see
// what the program does with each answer. Point the setting GSRV (and GWEB
// for the updater) at the addresses it prints.

#include "noticepeer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

using mizro::tools::NoticePeer;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Bildirim ve versiyon bilgisi sunucusunun yerine geçer (yalnız 127.0.0.1)."));
    p.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Bildirim portu."),
                                  QStringLiteral("PORT"), QStringLiteral("1965"));
    const QCommandLineOption httpPort(QStringLiteral("http-port"),
                                      QStringLiteral("HTTP portu (0: boş bir port)."),
                                      QStringLiteral("PORT"), QStringLiteral("0"));
    const QCommandLineOption status(QStringLiteral("status"),
                                    QStringLiteral("Durum satırı (G: yeni sürüm var)."),
                                    QStringLiteral("METİN"), QStringLiteral("0"));
    const QCommandLineOption address(
        QStringLiteral("address"),
        QStringLiteral("Duyuru adresi (verilmezse kendi sunduğu örnek duyuru)."),
        QStringLiteral("ADRES"));
    const QCommandLineOption message(QStringLiteral("message"),
                                     QStringLiteral("İleti (0: ileti yok)."),
                                     QStringLiteral("METİN"), QStringLiteral("0"));
    const QCommandLineOption versionLine(
        QStringLiteral("version-line"),
        QStringLiteral("Versiyon bilgisinin bir satırı (birkaç kez verilebilir; sonuna \"@\" "
                       "eklenir)."),
        QStringLiteral("METİN"));
    const QCommandLineOption noEnd(QStringLiteral("no-end"),
                                   QStringLiteral("Versiyon bilgisinin sonuna \"@\" koyma."));
    const QCommandLineOption close(QStringLiteral("close"),
                                   QStringLiteral("Yanıttan sonra bağlantıyı kapat."));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Bağlantıyı kabul et, hiç yanıt verme."));
    const QCommandLineOption serve(
        QStringLiteral("serve"),
        QStringLiteral("HTTP ile bir dosya sun: /yol=DOSYA (ör. /ftproot/Ptazele.EXE=ptazele)."),
        QStringLiteral("YOL=DOSYA"));
    p.addOptions(
        {port, httpPort, status, address, message, versionLine, noEnd, close, silent, serve});
    p.process(app);

    NoticePeer peer;
    if (!peer.listen(static_cast<quint16>(p.value(port).toUInt()),
                     static_cast<quint16>(p.value(httpPort).toUInt()))) {
        QTextStream(stderr) << "Port açılamadı.\n";
        return 1;
    }
    const QString sample = QStringLiteral("/duyuru.html");
    peer.serve(sample,
               QStringLiteral("<html><body style=\"background:#fff6d5\"><b>Duyuru:</b> "
                              "MIZRO 21.002 yayımlandı. <a href=\"http://%1/\">Ayrıntılar</a>"
                              "</body></html>")
                   .arg(peer.httpAddress())
                   .toUtf8(),
               "text/html; charset=utf-8");
    for (const QString &entry : p.values(serve)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        QFile file(entry.mid(eq + 1));
        if (eq <= 0 || !file.open(QIODevice::ReadOnly)) {
            QTextStream(stderr) << "Sunulamadı: " << entry << "\n";
            return 1;
        }
        peer.serve(entry.left(eq), file.readAll());
    }
    const QString notice = p.isSet(address)
                               ? p.value(address)
                               : QStringLiteral("http://") + peer.httpAddress() + sample;
    peer.setNoticeAnswer(NoticePeer::encoded({p.value(status), notice, p.value(message)}));
    QStringList lines = p.values(versionLine);
    if (!p.isSet(noEnd))
        lines << QStringLiteral("@");
    peer.setVersionAnswer(NoticePeer::encoded(lines));
    peer.setBehaviour(p.isSet(silent)  ? NoticePeer::Behaviour::Silent
                      : p.isSet(close) ? NoticePeer::Behaviour::AnswerAndClose
                                       : NoticePeer::Behaviour::Answer);

    QTextStream out(stdout);
    out << "GSRV=" << peer.address() << "\nGWEB=" << peer.httpAddress() << Qt::endl;
    QObject::connect(&peer, &NoticePeer::linesReceived, [&] {
        out << "istek: " << peer.received().constLast().size() << " bayt" << Qt::endl;
    });
    return QCoreApplication::exec();
}
