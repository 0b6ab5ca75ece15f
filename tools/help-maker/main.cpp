// Renders the user guide (Markdown, UTF-8) into the help.pdf shipped with the
// programs, with Qt's own PDF writer: A4, 20 mm margins.
//
//     help-maker <guide.md> <help.pdf>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: help-maker <guide.md> <help.pdf>\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "help-maker: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument guide;
    guide.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    guide.setMarkdown(QString::fromUtf8(source.readAll()));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("Пульт центрального наблюдения TIRVON: руководство"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    guide.print(&pdf);
    return QFile::exists(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
