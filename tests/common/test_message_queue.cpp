#include "ui/MessageQueue.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <functional>

using tirvon::ui::MessageQueue;

namespace {

// A box that runs the given work as its own event loop would, and keeps what
// it showed and how deeply boxes were nested.
class BoxPrompt : public tirvon::ui::Prompt {
public:
    void inform(const QString& text) override {
        ++depth;
        deepest = std::max(deepest, depth);
        shown.append(text);
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
        --depth;
    }
    bool confirm(const QString&) override { return false; }
    QString pickFile(const QString&, const QString&) override { return {}; }
    QString pickSaveFile(const QString&, const QString&) override { return {}; }

    std::function<void()> whileOpen;
    QStringList shown;
    int depth = 0;
    int deepest = 0;
};

} // namespace

class MessageQueueTest : public QObject {
    Q_OBJECT

private slots:
    void boxesComeAfterTheWorkOneAtATimeWithoutRepeats() {
        BoxPrompt prompt;
        MessageQueue queue(prompt);
        queue.post("a");
        queue.post("a");
        QVERIFY(prompt.shown.isEmpty());
        prompt.whileOpen = [&] {
            queue.post("a"); // the one showing
            queue.post("b");
            queue.post("b"); // the one waiting
            queue.post("c");
            QCoreApplication::sendPostedEvents();
        };
        QCoreApplication::sendPostedEvents();
        QCOMPARE(prompt.shown, (QStringList{"a", "b", "c"}));
        QCOMPARE(prompt.deepest, 1);
        QVERIFY(queue.idle());
        queue.post("a");
        QCoreApplication::sendPostedEvents();
        QCOMPARE(prompt.shown.size(), 4);
    }

    void aTimerGoesOnFiringWhileItsBoxIsOpen() {
        BoxPrompt prompt;
        MessageQueue queue(prompt);
        QTimer timer;
        int ticks = 0;
        QEventLoop box;
        connect(&timer, &QTimer::timeout, this, [&] {
            ++ticks;
            if (ticks == 1)
                queue.post("the modem's answer cannot be read");
            if (ticks == 4)
                box.quit();
        });
        prompt.whileOpen = [&] {
            QTimer::singleShot(5000, &box, [&] { box.quit(); });
            box.exec();
        };
        timer.start(0);
        QTRY_VERIFY_WITH_TIMEOUT(!prompt.shown.isEmpty() && prompt.depth == 0, 10000);
        QVERIFY2(ticks >= 4, "the timer stopped while its box was open");
        QCOMPARE(prompt.shown.size(), 1);
    }
};

QTEST_GUILESS_MAIN(MessageQueueTest)
#include "test_message_queue.moc"
