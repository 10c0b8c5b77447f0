// tamurika-bench: times the main job with one photo through the program's own window and
// handlers, on whatever platform Qt is given (bench/run uses the offscreen one):
//   1. the picture loaded as "画像の読み込み" loads it, until the sample has painted it;
//   2. "ﾌﾟﾚﾋﾞｭ-＆印刷" until the preview window has painted the page at 100 %;
//   3. one zoom step ("縮小(&O)" and "拡大(&I)" in turn);
//   4. "印刷(&P)" into a PDF file at 600 per inch;
//   then "枠いっぱい" chosen, until the sample has repainted, and framing steps on the sample:
//   a step of a drag and a notch of the wheel, each sent to the sample as the mouse sends it,
//   until it has repainted. A large HEIF photo is decoded on a thread of its own: step 1 waits
//   for it, until the sample shows the photo itself.
// Usage:
//   tamurika-bench times PHOTO PDF RUNS    one line per step and run: the step, then the
//                                          milliseconds it took and the processor time it
//                                          used; a first run warms up and is not reported
//   tamurika-bench memory PHOTO PDF        steps 1, 2 and 4 once, then "peak KB" and
//                                          "start KB": the resident memory at its highest and
//                                          before the photo was loaded
//   tamurika-bench heic PHOTO RUNS         a large HEIF photo loaded: "heicshown", until the
//                                          sample first shows it (its thumbnail); "heicfull",
//                                          until it shows the photo itself; "heicrepaint", the
//                                          slowest repaint of the window while the photo
//                                          decodes, asked for every 20 ms (wall-clock ms, and
//                                          the number of repaints in place of processor time)
#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWheelEvent>

#include "app/mainunit.h"
#include "calendar/julius.h"
#include "dib/vddib.h"
#include "preview/printlrunit.h"
#include "print/printer.h"
#include "settings/statefile.h"
#include "widgets/application.h"
#include "widgets/image.h"
#include "widgets/panel.h"

namespace {

constexpr int PrintResolution = 600;
constexpr int ZoomSteps = 4; // per run: out, in, out, in

long PeakResidentKB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Milliseconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

/// Processor time of the whole process so far, in milliseconds.
double CpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

/// Wall-clock and processor time of one step.
struct StepTime {
    double Wall = 0;
    double Cpu = 0;
};

class StepClock {
  public:
    StepClock() { Restart(); }
    void Restart() {
        FWall.start();
        FCpu = CpuMilliseconds();
    }
    StepTime Elapsed() const { return {Milliseconds(FWall), CpuMilliseconds() - FCpu}; }

  private:
    QElapsedTimer FWall;
    double FCpu = 0;
};

/// Runs `inside` once the preview window has painted its page at 100 %, from the event loop
/// of its modal run. The page is painted when its image control gets its first paint event
/// with the window at 100 %; `inside` runs right after that paint.
/// An error of `inside` closes the window and is kept for the caller; a window that never
/// paints is closed after a minute.
class PreviewPainted : public QObject {
  public:
    explicit PreviewPainted(std::function<void(TFrmPrtLR&)> inside) : FInside(std::move(inside)) {
        qApp->installEventFilter(this);
        QTimer::singleShot(60'000, this, [this] {
            if (!FSeen && FrmPrtLR != nullptr)
                FrmPrtLR->close();
        });
    }
    ~PreviewPainted() override { qApp->removeEventFilter(this); }
    /// Raises what went wrong inside the window, or that it never painted.
    void Check() const {
        if (!FSeen)
            throw Exception(QStringLiteral("the preview window never painted its page"));
        if (!FError.isEmpty())
            throw Exception(FError);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (FSeen || event->type() != QEvent::Paint)
            return false;
        auto* image = qobject_cast<TImage*>(watched);
        auto* preview = image != nullptr ? qobject_cast<TFrmPrtLR*>(image->window()) : nullptr;
        if (preview == nullptr || image != preview->Image1 || preview->Zoom() != 4 ||
            image->Picture().Empty())
            return false;
        FSeen = true;
        QTimer::singleShot(0, preview, [this, preview] {
            try {
                FInside(*preview);
            } catch (const std::exception& error) {
                FError = QString::fromUtf8(error.what());
                preview->close();
            }
        });
        return false;
    }

  private:
    std::function<void(TFrmPrtLR&)> FInside;
    bool FSeen = false;
    QString FError;
};

struct RunTimes {
    StepTime Load;
    StepTime Preview;
    std::vector<StepTime> Zoom;
    StepTime Print;
    StepTime Fill; // "枠いっぱい" chosen, until the sample has repainted
    std::vector<StepTime> Drag;
    std::vector<StepTime> Wheel;
    std::vector<StepTime> Undo; // "元に戻す" of the wheel run, the drag and "枠いっぱい"
    std::vector<StepTime> Redo; // and "やり直し" of each
};

constexpr int DragSteps = 12;  // per run: six steps of 4 pixels right and down, six back
constexpr int WheelSteps = 12; // six notches in, six out

void SendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

/// Framing steps on the sample in "枠いっぱい", each until the sample has repainted; the window
/// is left in "枠に合わせる" again.
void RunFramingSteps(TmainForm& form, RunTimes& times) {
    TImage* sample = form.Image1;
    StepClock clock;
    form.FrameModeClick(TFrameMode::Fill);
    sample->repaint(); // the first paint of a photo makes its pixels ready, once
    times.Fill = clock.Elapsed();
    const QPointF centre(sample->width() / 2.0, sample->height() / 2.0);
    SendMouse(sample, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    for (int i = 0; i < DragSteps; ++i) {
        const double offset = 4.0 * (i < DragSteps / 2 ? i + 1 : DragSteps - 1 - i);
        clock.Restart();
        SendMouse(sample, QEvent::MouseMove, centre + QPointF(offset, offset), Qt::LeftButton);
        sample->repaint();
        times.Drag.push_back(clock.Elapsed());
    }
    SendMouse(sample, QEvent::MouseButtonRelease, centre, Qt::NoButton);
    const QPointF at(sample->width() / 3.0, sample->height() / 3.0);
    for (int i = 0; i < WheelSteps; ++i) {
        QWheelEvent wheel(at, sample->mapToGlobal(at), QPoint(),
                          QPoint(0, i < WheelSteps / 2 ? 120 : -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        clock.Restart();
        QApplication::sendEvent(sample, &wheel);
        sample->repaint();
        times.Wheel.push_back(clock.Elapsed());
    }
    // Three steps back (the wheel run, the drag, the mode) and forward again, each until the
    // sample has repainted.
    for (auto [step, steps] : {std::pair{&TmainForm::UndoClick, &times.Undo},
                               std::pair{&TmainForm::RedoClick, &times.Redo}})
        for (int i = 0; i < 3; ++i) {
            clock.Restart();
            (form.*step)();
            form.Panel1->repaint();
            steps->push_back(clock.Elapsed());
        }
    form.FrameModeClick(TFrameMode::Fit);
}

/// One run of the main job on `form`; zoom steps only when `zoomSteps` > 0.
/// Runs the event loop until the calendar's photo is decoded.
void WaitForPhoto(const TmainForm& form) {
    while (form.PhotoDecoding())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

RunTimes RunMainJob(TmainForm& form, const QString& photo, int zoomSteps) {
    RunTimes times;
    StepClock clock;
    form.LoadPictureFile(photo);
    WaitForPhoto(form); // a large HEIF photo: until the sample can show the photo itself
    form.Image1->repaint();
    times.Load = clock.Elapsed();

    PreviewPainted painted([&](TFrmPrtLR& preview) {
        times.Preview = clock.Elapsed();
        for (int i = 0; i < zoomSteps; ++i) {
            clock.Restart();
            if (i % 2 == 0)
                preview.BtnSyukushoClick();
            else
                preview.BtnKakudaiClick();
            times.Zoom.push_back(clock.Elapsed());
        }
        if (preview.Zoom() != 4)
            preview.BtnKakudaiClick();
        // The small photo prints coarsely: "はい" to the question, as soon as it shows (the
        // wait for it counts in the print's time, a few milliseconds).
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                    yes->click();
        });
        answer.start(1);
        clock.Restart();
        preview.BtnInsatuClick(); // prints and closes the window
        times.Print = clock.Elapsed();
    });
    clock.Restart();
    form.Button1Click();
    painted.Check();
    if (zoomSteps > 0)
        RunFramingSteps(form, times);
    return times;
}

/// Asks a widget to repaint, as the window system asks when it uncovers it, and measures how
/// long the repaint takes to come: the event loop has to be free for it.
class RepaintProbe : public QObject {
  public:
    explicit RepaintProbe(QWidget* widget) : FWidget(widget) { widget->installEventFilter(this); }
    ~RepaintProbe() override { FWidget->removeEventFilter(this); }
    void Ask() {
        if (FAsked)
            return; // the last one has not come yet: it counts on
        FAsked = true;
        FClock.start();
        FWidget->update();
    }
    /// The slowest repaint so far, in milliseconds, and how many came.
    double Slowest() const { return FSlowest; }
    int Count() const { return FCount; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && FAsked) {
            FAsked = false;
            FSlowest = std::max(FSlowest, Milliseconds(FClock));
            ++FCount;
        }
        return false;
    }

  private:
    QWidget* FWidget;
    QElapsedTimer FClock;
    bool FAsked = false;
    double FSlowest = 0;
    int FCount = 0;
};

struct HeicTimes {
    StepTime Shown; // until the sample first shows the photo: its thumbnail
    StepTime Full;  // until it shows the photo itself
    double SlowestRepaint = 0;
    int Repaints = 0;
};

/// A large HEIF photo loaded as "画像の読み込み" loads it; the window asked to repaint every
/// 20 ms while the photo decodes.
HeicTimes RunHeicLoad(TmainForm& form, const QString& photo) {
    HeicTimes times;
    StepClock clock;
    form.LoadPictureFile(photo);
    form.Image1->repaint();
    times.Shown = clock.Elapsed();
    if (!form.PhotoDecoding())
        throw Exception(QStringLiteral("the photo was not decoded on a thread of its own"));
    RepaintProbe probe(form.Panel1);
    QTimer ask;
    QObject::connect(&ask, &QTimer::timeout, [&probe] { probe.Ask(); });
    ask.start(20);
    WaitForPhoto(form);
    form.Image1->repaint();
    times.Full = clock.Elapsed();
    times.SlowestRepaint = probe.Slowest();
    times.Repaints = probe.Count();
    if (form.Image1->Picture().Graphic()->ClassName() != QLatin1String("TPhotoImage"))
        throw Exception(QStringLiteral("the sample does not show the photo itself"));
    return times;
}

int Usage() {
    std::fputs("usage: tamurika-bench times PHOTO PDF RUNS | memory PHOTO PDF | heic PHOTO RUNS\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Not TApplication: an error is to end the run with a message, not to wait in a message box.
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    const bool times = args.size() == 4 && args[0] == QLatin1String("times");
    const bool memory = args.size() == 3 && args[0] == QLatin1String("memory");
    const bool heic = args.size() == 3 && args[0] == QLatin1String("heic");
    if (!times && !memory && !heic)
        return Usage();
    const QString photo = QFileInfo(args[1]).absoluteFilePath();
    const QString pdf = heic ? QString() : QFileInfo(args[2]).absoluteFilePath();
    const int runs = times ? args[3].toInt() : heic ? args[2].toInt() : 1;

    QTextStream out(stdout);
    try {
        // As the program starts: the old-calendar table, the ".dib" format, the fonts.
        Julius::OldMonthList();
        RegisterVdDIB();
        RegisterFontSubstitutes();
        // "印刷(&P)" prints on the application's printer: here a PDF file at 600 per inch.
        if (!heic) {
            auto printer = std::make_unique<TQtPrinter>();
            printer->PrintToFile(pdf);
            printer->QtPrinter().setResolution(PrintResolution);
            SetPrinter(std::move(printer));
        }

        QTemporaryDir folder; // the program's folder: settings and print position
        // The preview opens at 100 %, where the steps are timed from, on any screen.
        TStateFile(folder.path())
            .WriteString(QStringLiteral("preview"), QStringLiteral("zoom"), QStringLiteral("100"));
        TmainForm form(folder.path());
        form.show();
        QCoreApplication::processEvents();
        const long startKB = PeakResidentKB();

        if (memory) {
            RunMainJob(form, photo, 0);
            out << "peak " << PeakResidentKB() << "\nstart " << startKB << '\n';
            return 0;
        }
        if (heic) {
            for (int run = 0; run <= runs; ++run) {
                const HeicTimes t = RunHeicLoad(form, photo);
                if (run == 0)
                    continue; // warming up: libheif loaded, fonts, caches
                out << "heicshown " << t.Shown.Wall << ' ' << t.Shown.Cpu << '\n';
                out << "heicfull " << t.Full.Wall << ' ' << t.Full.Cpu << '\n';
                out << "heicrepaint " << t.SlowestRepaint << ' ' << t.Repaints << '\n';
                out.flush();
            }
            return 0;
        }
        for (int run = 0; run <= runs; ++run) {
            const RunTimes t = RunMainJob(form, photo, ZoomSteps);
            if (run == 0)
                continue; // warming up: fonts, caches, first allocations
            const auto line = [&out](const char* step, StepTime time) {
                out << step << ' ' << time.Wall << ' ' << time.Cpu << '\n';
            };
            line("load", t.Load);
            line("preview", t.Preview);
            for (StepTime zoom : t.Zoom)
                line("zoom", zoom);
            line("print", t.Print);
            line("fill", t.Fill);
            for (StepTime step : t.Drag)
                line("drag", step);
            for (StepTime step : t.Wheel)
                line("wheel", step);
            for (StepTime step : t.Undo)
                line("undo", step);
            for (StepTime step : t.Redo)
                line("redo", step);
            out.flush();
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tamurika-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
