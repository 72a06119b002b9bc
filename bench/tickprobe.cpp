// Runs the real window and watches its timer: how often it ticks while the names spin, how
// regular the ticks are, where its frames come from, how often the result box paints, and where
// stops at random moments of a spin would land. (Left alone, the window does not tick at all.)
//
//   tickprobe spin SECONDS       tick rate and intervals while the names spin, the frames'
//                                source, and the box's paints per name
//   tickprobe huge               what a running tick and a paint of the result box cost when
//                                every name is 100,000 characters long
//   tickprobe fairness SECONDS STOPS
//                                for each count 2 to 5, spins for SECONDS and draws STOPS
//                                uniformly random moments; prints each slot's share and the
//                                chi-square p-value of the counts
#include "frameclock.h"
#include "kazerima.h"
#include "resultlabel.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;

namespace {

struct Tick
{
    double ms;
    QString caption;
};

// The upper regularised incomplete gamma function Q(a, x), for the chi-square tail.
double gammaQ(double a, double x)
{
    if (x <= 0)
        return 1;
    const double logPrefix = a * std::log(x) - x - std::lgamma(a);
    if (x < a + 1) {
        double term = 1 / a, sum = term;
        for (int n = 1; n < 1000 && term > sum * 1e-15; ++n) {
            term *= x / (a + n);
            sum += term;
        }
        return 1 - sum * std::exp(logPrefix);
    }
    // Lentz's continued fraction.
    double b = x + 1 - a, c = 1e300, d = 1 / b, h = d;
    for (int i = 1; i < 1000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        d = std::abs(d) < 1e-300 ? 1e-300 : d;
        c = b + an / c;
        c = std::abs(c) < 1e-300 ? 1e-300 : c;
        d = 1 / d;
        h *= d * c;
        if (std::abs(d * c - 1) < 1e-15)
            break;
    }
    return std::exp(logPrefix) * h;
}

class Probe : public QObject
{
public:
    explicit Probe(Kazerima &window)
        : m_window(window)
        , m_timer(*window.findChild<FrameClock *>(u"Timer1"_s))
        , m_result(*window.findChild<ResultLabel *>(u"Label3"_s))
    {
        // Connected after the window's own handler, so it sees each tick's outcome.
        connect(&m_timer, &FrameClock::frame, this, [this] {
            if (m_recording)
                m_ticks.push_back({elapsedMs(), m_result.caption()});
        });
        m_result.installEventFilter(this);
    }

    const char *source() const
    {
        switch (m_timer.source()) {
        case FrameClock::Source::Compositor:
            return "compositor";
        case FrameClock::Source::Present:
            return "present";
        case FrameClock::Source::Timer:
            break;
        }
        return "timer";
    }
    int paints() const { return m_paints; }

    std::vector<Tick> record(int seconds)
    {
        m_ticks.clear();
        m_paints = 0;
        m_recording = true;
        wait(seconds * 1000);
        m_recording = false;
        return std::move(m_ticks);
    }

    void wait(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    void chooseCount(int count)
    {
        m_window.findChild<QRadioButton *>(u"Option"_s + QString::number(count))->click();
        wait(50);
    }

    QString name(int slot) const
    {
        return m_window.findChild<QLineEdit *>(u"Text"_s + QString::number(slot))->text();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (m_recording && event->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }

private:
    double elapsedMs() const
    {
        return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count();
    }

    Kazerima &m_window;
    FrameClock &m_timer;
    ResultLabel &m_result;
    Clock::time_point m_start = Clock::now();
    std::vector<Tick> m_ticks;
    int m_paints = 0;
    bool m_recording = false;
};

void reportIntervals(const Probe &probe, const std::vector<Tick> &ticks)
{
    if (ticks.size() < 2) {
        std::printf("rate=0 (too few ticks)\n");
        return;
    }
    std::vector<double> gaps;
    for (std::size_t i = 1; i < ticks.size(); ++i)
        gaps.push_back(ticks[i].ms - ticks[i - 1].ms);
    std::sort(gaps.begin(), gaps.end());
    const auto at = [&](double q) { return gaps[std::size_t(q * (gaps.size() - 1))]; };
    // The rate comes from the ticks' own clock: the wait that bounds the recording is itself a
    // timer and may run a little long or short.
    const double rate = 1000.0 * double(gaps.size()) / (ticks.back().ms - ticks.front().ms);
    int names = 0; // the ticks that showed a new name
    for (std::size_t i = 1; i < ticks.size(); ++i)
        names += ticks[i].caption != ticks[i - 1].caption;
    std::printf("rate=%.1f p50=%.3f p99=%.3f max=%.3f source=%s paints_per_name=%.2f\n", rate,
                at(0.5), at(0.99), gaps.back(), probe.source(),
                names ? double(probe.paints()) / names : 0.0);
}

void reportFairness(Probe &probe, Kazerima &window, int seconds, int stops)
{
    std::mt19937_64 rng(std::random_device {}());
    for (int count = 2; count <= 5; ++count) {
        probe.chooseCount(count);
        window.Ruret_Start();
        // Past the silent first tick, which may wait a frame of the screen for its turn.
        probe.wait(200);
        const std::vector<Tick> ticks = probe.record(seconds);
        window.Ruret_Stop();

        // A stop at moment t picks whatever the last tick before t showed.
        std::vector<double> times;
        for (const Tick &tick : ticks)
            times.push_back(tick.ms);
        std::uniform_real_distribution<double> moment(times.front(), times.back());
        std::vector<int> picks(count + 1, 0);
        for (int i = 0; i < stops; ++i) {
            const auto it = std::upper_bound(times.begin(), times.end(), moment(rng));
            const QString &caption = ticks[std::size_t(it - times.begin()) - 1].caption;
            for (int slot = 1; slot <= count; ++slot) {
                if (caption == probe.name(slot)) {
                    ++picks[slot];
                    break;
                }
            }
        }

        const double expected = double(stops) / count;
        double chi2 = 0;
        std::printf("count=%d shares=", count);
        for (int slot = 1; slot <= count; ++slot) {
            chi2 += (picks[slot] - expected) * (picks[slot] - expected) / expected;
            std::printf("%s%.4f", slot > 1 ? "/" : "", double(picks[slot]) / stops);
        }
        std::printf(" chi2=%.2f p=%.3f\n", chi2, gammaQ((count - 1) / 2.0, chi2 / 2));
    }
}

void reportHugeNames(Kazerima &window, Probe &probe)
{
    auto *timer = window.findChild<FrameClock *>(u"Timer1"_s);
    auto *result = window.findChild<ResultLabel *>(u"Label3"_s);
    timer->hold(true);
    for (int slot = 1; slot <= 5; ++slot)
        window.findChild<QLineEdit *>(u"Text"_s + QString::number(slot))
            ->setText(QString(100'000, u'罰'));
    window.Ruret_Start();
    // Frames a period apart, each of which ticks.
    double frameMs
        = std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
    emit timer->frame(frameMs += 5);
    // Let the fields lay out and paint their new text first: that is not what is measured.
    probe.wait(200);
    result->repaint();

    constexpr int ticks = 2000;
    auto start = Clock::now();
    for (int i = 0; i < ticks; ++i)
        emit timer->frame(frameMs += 5);
    const double tickUs
        = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / ticks;

    constexpr int paints = 50;
    start = Clock::now();
    for (int i = 0; i < paints; ++i)
        result->repaint();
    const double paintUs
        = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / paints;
    std::printf("huge_tick_us=%.1f huge_paint_us=%.1f\n", tickUs, paintUs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Kazerima"_s);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"spin"_s;
    const int seconds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 10);
    const int stops = argc > 3 ? std::atoi(argv[3]) : 20000;

    Kazerima window;
    window.show();
    Probe probe(window);
    probe.wait(200);

    if (mode == u"huge") {
        reportHugeNames(window, probe);
    } else if (mode == u"fairness") {
        reportFairness(probe, window, seconds, stops);
    } else {
        window.Ruret_Start();
        probe.wait(20);
        const std::vector<Tick> ticks = probe.record(seconds);
        reportIntervals(probe, ticks);
    }
    return 0;
}
