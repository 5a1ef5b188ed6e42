#include "cli/LoadCommands.h"
#include "cli/CliPorts.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/LayerSelection.h"
#include "core/Numbers.h"
#include "core/SettingsFile.h"
#include "core/TextFile.h"
#include "core/WorkspaceFile.h"
#include "drill/DrillDetective.h"
#include "drill/DrillHeader.h"
#include "drill/DrillReader.h"
#include "gerber/ApertureCommands.h"
#include "gerber/GerberReader.h"
#include "platform/LoadPainting.h"
#include "platform/PictureImage.h"
#include "platform/PiecePainting.h"
#include "platform/PngFile.h"
#include "platform/RasterSurface.h"
#include "view/Renderer.h"
#include "view/ViewControl.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <algorithm>
#include <sys/stat.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <unistd.h>
#include <utility>

namespace korvane::cli {

const char *LoadUsage =
    "  load --gerber N=PATH [--gerber N=PATH ...] [--drill N=PATH ...] [--apt FILE]\n"
    "       [--settings FILE] [--answer yes|no] [--gdb OUT.gdb] [--png OUT.png] [--bmp OUT.bmp] [--size WxH]\n"
    "       [--mm-per-pixel X,Y] [--dpi N --origin X,Y] [--png-always]\n"
    "       [--drill-format auto|header|settings]\n"
    "                               ガーバーファイルを層N に読み込み、続いてドリルファイルを\n"
    "                               層N に重ねて読み込み、データベースや画像に保存します\n"
    "                               (メッセージで終わった読込の画像は --png-always の時だけ)\n"
    "  render IN.gdb --png OUT.png [--bmp OUT.bmp] [--size WxH] [--mm-per-pixel X,Y] [--dpi N --origin X,Y]\n"
    "                               データベースファイルの図面を画像に保存します\n"
    "  drill-format DRILL [--gerber N=PATH ...] [--settings FILE]\n"
    "                               ドリルファイルのフォーマット候補をガーバーのパッド上の\n"
    "                               ヒット数の順に表示します\n";

namespace {

struct PictureOptions {
    std::string png;
    std::string bmp;  // the 8-bit bitmap of the same picture
    int width = 1280, height = 960;
    double mmPerPixelX = 0.25, mmPerPixelY = 0.25;
    std::optional<double> dpi;
    std::optional<Point> origin;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An output file's folder must exist: said before anything is read.
void requireOutputFolder(const std::string &path)
{
    if (path.empty())
        return;
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return;
    const std::string folder = path.substr(0, slash);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw UsageError("出力先のフォルダがありません: " + folder);
}

bool splitPair(const std::string &text, char separator, std::string &a, std::string &b)
{
    auto pos = text.find(separator);
    if (pos == std::string::npos)
        return false;
    a = text.substr(0, pos);
    b = text.substr(pos + 1);
    return true;
}

// "N=PATH" of --gerber and --drill: a layer slot and its file.
std::pair<std::int32_t, std::string> layerFile(const std::string &option, const std::string &text)
{
    std::string n, path;
    std::int32_t layer;
    if (!splitPair(text, '=', n, path) || !tryParseInt(n, layer) || layer < 1 || layer > LayerCount)
        throw UsageError(option + " は N=PATH (N は 1 から 15) の形で指定して下さい");
    return {layer, path};
}

double realArgument(const std::string &text)
{
    double v;
    if (!tryParseReal(text, v))
        throw UsageError("数値ではありません: " + text);
    return v;
}

// Reads the options a picture needs; true when `args[i]` was one of them.
bool pictureOption(const std::vector<std::string> &args, size_t &i, PictureOptions &p)
{
    auto value = [&]() -> const std::string & {
        if (i + 1 >= args.size())
            throw UsageError(args[i] + " に値がありません");
        return args[++i];
    };
    const std::string &name = args[i];
    std::string a, b;
    if (name == "--png") {
        p.png = value();
    } else if (name == "--bmp") {
        p.bmp = value();
    } else if (name == "--size") {
        if (!splitPair(value(), 'x', a, b))
            throw UsageError("--size は WxH の形で指定して下さい");
        std::int32_t w, h;
        if (!tryParseInt(a, w) || !tryParseInt(b, h) || w < 1 || h < 1 || w > 20000 || h > 20000)
            throw UsageError("--size の大きさが正しくありません");
        p.width = w;
        p.height = h;
    } else if (name == "--mm-per-pixel") {
        if (!splitPair(value(), ',', a, b))
            throw UsageError("--mm-per-pixel は X,Y の形で指定して下さい");
        p.mmPerPixelX = realArgument(a);
        p.mmPerPixelY = realArgument(b);
        if (p.mmPerPixelX <= 0 || p.mmPerPixelY <= 0)
            throw UsageError("--mm-per-pixel は正の値で指定して下さい");
    } else if (name == "--dpi") {
        p.dpi = realArgument(value());
        if (*p.dpi <= 0)
            throw UsageError("--dpi は正の値で指定して下さい");
    } else if (name == "--origin") {
        if (!splitPair(value(), ',', a, b))
            throw UsageError("--origin は X,Y の形で指定して下さい");
        p.origin = Point{realArgument(a), realArgument(b)};
    } else {
        return false;
    }
    return true;
}

// The drawing area of the window, without a window. It may be given a pass
// painted while loading, taken when it is the pass asked for; or be told
// only to note what it is asked to paint with.
class OffscreenPicture : public PictureHost {
public:
    OffscreenPicture(int width, int height, double mmX, double mmY)
        : width_(width), height_(height), mmX_(mmX), mmY_(mmY)
    {
    }
    void takePassFrom(PaintingWhileLoading *painting) { painting_ = painting; }
    void noteSetupOnly() { noteOnly_ = true; }
    const std::optional<PictureSetup> &notedSetup() const { return noted_; }
    int pictureWidth() const override { return width_; }
    int pictureHeight() const override { return height_; }
    void setPictureSize(int width, int height) override
    {
        width_ = width;
        height_ = height;
    }
    void clearPicture() override { image_ = QImage(); }
    std::unique_ptr<DrawingSurface> createRaster(int width, int height) override
    {
        if (noteOnly_) {
            noted_ = PictureSetup{width, height, {}, RegionFill::Solid, {}};
            return std::make_unique<RasterSurface>(1, 1);
        }
        auto raster = std::make_unique<RasterSurface>(width, height);
        if (raster->isNull())
            return nullptr;
        return raster;
    }
    void paintRaster(DrawingSurface &raster, const DisplayList &list, const LayerLook &look, RegionFill fill,
                     const PixelMapping &mapping) override
    {
        if (noteOnly_) {
            if (noted_) {
                noted_->look = look;
                noted_->fill = fill;
                noted_->mapping = mapping;
            }
            return;
        }
        auto *r = dynamic_cast<RasterSurface *>(&raster);
        PaintingWhileLoading *painting = std::exchange(painting_, nullptr);
        if (r && painting && painting->finishInto(*r, {r->width(), r->height(), look, fill, mapping}))
            return;
        if (r)
            paintInPieces(*r, list, look, fill, mapping, pictureThreads());
        else
            PictureHost::paintRaster(raster, list, look, fill, mapping);
    }
    void showRaster(std::unique_ptr<DrawingSurface> raster) override
    {
        if (auto *r = dynamic_cast<RasterSurface *>(raster.get()))
            image_ = r->takeImage();
    }
    double screenMmPerPixelX() const override { return mmX_; }
    double screenMmPerPixelY() const override { return mmY_; }
    const QImage &image() const { return image_; }

private:
    int width_, height_;
    double mmX_, mmY_;
    QImage image_;
    PaintingWhileLoading *painting_ = nullptr;
    bool noteOnly_ = false;
    std::optional<PictureSetup> noted_;
};

// Takes every message of a fit that only notes its set-up.
class QuietPrompter : public Prompter {
public:
    Answer show(MessageKind, const std::string &, Buttons) override
    {
        spoke_ = true;
        return Answer::No;
    }
    bool spoke() const { return spoke_; }

private:
    bool spoke_ = false;
};

// What the fitted picture of the document paints with as it stands.
std::optional<PictureSetup> fittedSetup(Document &doc, const PictureOptions &p)
{
    // A drawing that spans (almost) nothing is fitted by its items, which
    // are not read yet.
    if (fitMayNeedItems(doc))
        return std::nullopt;
    OffscreenPicture probe(p.width, p.height, p.mmPerPixelX, p.mmPerPixelY);
    probe.noteSetupOnly();
    QuietPrompter quiet;
    ViewController view(doc, quiet, probe);
    view.fitLoadedDrawing("");
    if (quiet.spoke())
        return std::nullopt;
    return probe.notedSetup();
}

bool savePng(const QImage &image, const std::string &path, Prompter &prompter)
{
    QSaveFile file(QString::fromStdString(path));
    const QByteArray bytes = pngBytes(image);
    if (!file.open(QIODevice::WriteOnly) || bytes.isEmpty() || file.write(bytes) != bytes.size() || !file.commit()) {
        prompter.error(fileErrorText(errno != 0 ? errno : EACCES));
        return false;
    }
    return true;
}

bool savePicture(const QImage &image, const PictureOptions &p, Prompter &prompter)
{
    if (!p.png.empty() && !savePng(image, p.png, prompter))
        return false;
    if (!p.bmp.empty()) {
        try {
            saveBmp8(p.bmp, pixelImageOf(image));
        } catch (const KorvaneError &e) {
            prompter.error(e.text());
            return false;
        }
    }
    return true;
}

// What a true-scale picture (--dpi and --origin) paints with: its mapping
// comes from the options alone, not from the drawing.
PictureSetup trueScaleSetup(const Document &doc, const PictureOptions &p)
{
    PictureSetup setup{p.width, p.height, LayerLook::from(doc.layers), RegionFill::Solid, {}};
    PixelMapping &map = setup.mapping;
    map.scale = 1.0;
    map.mmPerPixelX = map.mmPerPixelY = 25.4 / *p.dpi;
    map.offsetX = roundToInt(p.origin->x / map.mmPerPixelX);
    // Stored y is the negated board Y: the origin's row is the last one.
    map.offsetY = roundToInt(-p.origin->y / map.mmPerPixelY) - (p.height - 1);
    return setup;
}

void requireTrueScaleOptions(const PictureOptions &p)
{
    if (p.dpi.has_value() != p.origin.has_value())
        throw UsageError("--dpi と --origin は一緒に指定して下さい");
}

// The picture of the document: fitted as the window fits it, or at true
// scale with a board point at the lower-left corner.
bool renderPicture(Document &doc, const PictureOptions &p, Prompter &prompter, PaintingWhileLoading *painted = nullptr)
{
    requireTrueScaleOptions(p);
    if (p.dpi) {
        RasterSurface raster(p.width, p.height);
        if (raster.isNull()) {
            prompter.error("メモリが不足しているため、画像を作れませんでした。");
            return false;
        }
        const PictureSetup setup = trueScaleSetup(doc, p);
        if (painted == nullptr || !painted->finishInto(raster, setup))
            paintInPieces(raster, doc.displayList, setup.look, setup.fill, setup.mapping, pictureThreads());
        return savePicture(raster.takeImage(), p, prompter);
    }
    OffscreenPicture host(p.width, p.height, p.mmPerPixelX, p.mmPerPixelY);
    host.takePassFrom(painted);
    ViewController view(doc, prompter, host);
    view.fitLoadedDrawing("");
    if (host.image().isNull()) {
        // Nothing to fit (no extents): a white picture of the area.
        QImage white(p.width, p.height, QImage::Format_RGB16);
        white.fill(Qt::white);
        return savePicture(white, p, prompter);
    }
    return savePicture(host.image(), p, prompter);
}

// Painting needs Qt's GUI module, never a display. The application lives
// until the process ends and is never destroyed: its destructor starts up
// the font configuration a picture never used (milliseconds at every run).
void startGuiForPictures()
{
    static QGuiApplication *app = nullptr;
    if (app != nullptr)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    dropRuntimeFolderWarning();
    static int argc = 1;
    static char name[] = "korvane-cli";
    static char *argv[] = {name, nullptr};
    app = new QGuiApplication(argc, argv);
}

// Starts painting the picture once the load has fixed the extents the view
// fits (a true-scale picture needs none, but waits as well), so that the
// picture is all but painted when the files are read. When the load changes
// the extents after all, the painting is not used.
class PictureWhileLoading : public GerberLoadObserver, public DrillLoadObserver {
public:
    PictureWhileLoading(Document &doc, const PictureOptions &p) : doc_(doc), options_(p) {}
    void preScanDone() override { start(); }
    void extentsSet(bool) override { start(); }
    PaintingWhileLoading *painting() { return painting_.get(); }

private:
    void start()
    {
        if (painting_)
            return;
        startGuiForPictures();
        try {
            if (options_.dpi)
                painting_ = std::make_unique<PaintingWhileLoading>(doc_.displayList, trueScaleSetup(doc_, options_));
            else if (const std::optional<PictureSetup> setup = fittedSetup(doc_, options_))
                painting_ = std::make_unique<PaintingWhileLoading>(doc_.displayList, *setup);
        } catch (const std::bad_alloc &) {
            // Short of memory: the picture is painted after the load, if at all.
        }
    }

    Document &doc_;
    const PictureOptions &options_;
    std::unique_ptr<PaintingWhileLoading> painting_;
};

}  // namespace

int runLoad(const std::vector<std::string> &args)
{
    try {
        std::vector<GerberLoadFile> files;
        std::vector<DrillLoadFile> drillFiles;
        std::string apt, settingsFile = settingsPath(currentDirectory()), gdb;
        Answer answer = Answer::Yes;
        PictureOptions picture;
        bool settingsGiven = false, pngAlways = false;
        std::string drillFormatSource = "auto";
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string &a = args[i];
            auto value = [&]() -> const std::string & {
                if (i + 1 >= args.size())
                    throw UsageError(a + " に値がありません");
                return args[++i];
            };
            if (a == "--gerber") {
                auto [layer, path] = layerFile(a, value());
                files.push_back({layer, path});
            } else if (a == "--drill") {
                auto [layer, path] = layerFile(a, value());
                drillFiles.push_back({layer, path});
            } else if (a == "--apt") {
                apt = value();
            } else if (a == "--settings") {
                settingsFile = value();
                settingsGiven = true;
            } else if (a == "--png-always") {
                pngAlways = true;
            } else if (a == "--drill-format") {
                drillFormatSource = value();
                if (drillFormatSource != "auto" && drillFormatSource != "header" && drillFormatSource != "settings")
                    throw UsageError("--drill-format は auto、header、settings のどれかで指定して下さい");
            } else if (a == "--gdb") {
                gdb = value();
            } else if (a == "--answer") {
                const std::string &v = value();
                if (v != "yes" && v != "no")
                    throw UsageError("--answer は yes か no で指定して下さい");
                answer = v == "yes" ? Answer::Yes : Answer::No;
            } else if (!pictureOption(args, i, picture)) {
                throw UsageError("不明なオプション: " + a);
            }
        }
        if (files.empty() && drillFiles.empty())
            throw UsageError("--gerber か --drill で読み込むファイルを指定して下さい");
        std::vector<int> layersGiven;
        layersGiven.reserve(files.size() + drillFiles.size());
        for (const auto &f : files)
            layersGiven.push_back(f.layer);
        for (const auto &d : drillFiles)
            layersGiven.push_back(d.layer);
        std::sort(layersGiven.begin(), layersGiven.end());
        for (size_t k = 1; k < layersGiven.size(); ++k)
            if (layersGiven[k] == layersGiven[k - 1])
                throw UsageError("層 " + std::to_string(layersGiven[k]) + " に二つのファイルは読み込めません");
        if (settingsGiven && !fileExists(settingsFile))
            throw UsageError("設定ファイルがありません: " + settingsFile);
        requireOutputFolder(picture.png);
        requireOutputFolder(picture.bmp);
        requireOutputFolder(gdb);
        requireTrueScaleOptions(picture);
        for (const auto &d : drillFiles)
            for (const auto &g : files)
                if (d.layer == g.layer)
                    throw UsageError("層 " + std::to_string(d.layer) + " にガーバーとドリルの両方は読み込めません");

        StderrPrompter prompter(answer);
        SilentStatus status;
        NoFilePicker picker;
        Settings settings;
        loadSettingsFor(settingsFile, settings, prompter);
        int settingsErrors = prompter.errorCount();

        Document doc;
        ApertureTable table;
        MacroLibrary library;
        if (!apt.empty())
            loadAptPath(apt, table, library, prompter, picker);
        std::vector<std::string> gerberPaths;
        gerberPaths.reserve(files.size());
        for (const auto &f : files)
            gerberPaths.push_back(f.path);
        adoptDeclaredRs274X(settings.gerberIn, gerberPaths);
        for (int n = 1; n <= LayerCount; ++n)
            doc.layers.slot(n).colour = settings.layerColours[static_cast<size_t>(n - 1)];
        for (const auto &f : files)
            assignLayerFile(doc.layers.slot(f.layer), f.path, LayerLoadKind::Gerber);

        // The picture of Gerber files only or of drill files only is painted
        // while they are read (a drill load after a Gerber load widens the
        // extents the Gerber load fitted, and shows a further layer).
        std::optional<PictureWhileLoading> whileLoading;
        if ((!picture.png.empty() || !picture.bmp.empty()) && (files.empty() || drillFiles.empty()))
            whileLoading.emplace(doc, picture);
        GerberLoadObserver *gerberObserver = whileLoading ? &*whileLoading : nullptr;
        DrillLoadObserver *drillObserver = whileLoading ? &*whileLoading : nullptr;
        bool complete = true;
        if (!files.empty()) {
            GerberLoadContext context{doc, table, library, settings.gerberIn, prompter, status, gerberObserver};
            GerberLoadOutcome outcome = loadGerberFiles(context, files);
            for (const std::string &note : outcome.notes)
                std::cerr << note << "\n";
            complete = outcome.end == GerberLoadOutcome::End::Completed && outcome.layersStopped.empty();
        }
        if (!drillFiles.empty()) {
            // As the drill menu command after a Gerber load: the drawing is kept.
            for (const auto &f : drillFiles)
                assignLayerFile(doc.layers.slot(f.layer), f.path, LayerLoadKind::Drill);
            doc.keepExisting = doc.gerberLoaded == 1 ? 1 : 0;
            DrillLoadContext context{doc, settings.drillIn, prompter, status, drillObserver};
            // auto: the header, then the detective's format as a Yes takes it.
            context.readHeaders = drillFormatSource != "settings";
            context.detect = drillFormatSource == "auto";
            DrillLoadOutcome outcome = loadDrillFiles(context, pendingDrillFiles(doc.layers));
            if (!outcome.declaredFormatNote.empty())
                std::cerr << outcome.declaredFormatNote << "\n";
            complete = complete && outcome.end == DrillLoadOutcome::End::Completed && outcome.layersFailed.empty();
        }
        complete = complete && prompter.errorCount() == settingsErrors;

        if (!gdb.empty() && !writeWorkspaceFile(gdb, doc, prompter))
            complete = false;
        // A load that ended with a message leaves no picture to be taken
        // for a good one, unless asked for.
        if ((!picture.png.empty() || !picture.bmp.empty()) && (complete || pngAlways)) {
            startGuiForPictures();
            if (!renderPicture(doc, picture, prompter, whileLoading ? whileLoading->painting() : nullptr))
                complete = false;
        }
        return complete ? 0 : 1;
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

int runRender(const std::vector<std::string> &args)
{
    try {
        std::string in;
        PictureOptions picture;
        for (size_t i = 0; i < args.size(); ++i) {
            if (pictureOption(args, i, picture))
                continue;
            if (!args[i].empty() && args[i][0] == '-')
                throw UsageError("不明なオプション: " + args[i]);
            if (!in.empty())
                throw UsageError("データベースファイルは一つだけ指定して下さい");
            in = args[i];
        }
        if (in.empty() || (picture.png.empty() && picture.bmp.empty()))
            throw UsageError("render IN.gdb --png OUT.png の形で指定して下さい");
        requireOutputFolder(picture.png);
        requireOutputFolder(picture.bmp);
        StderrPrompter prompter;
        Document doc;
        WorkspaceLoadResult result = readWorkspaceFile(in, doc, prompter);
        if (!result.applied)
            return 1;
        startGuiForPictures();
        bool ok = renderPicture(doc, picture, prompter);
        return ok && result.complete ? 0 : 1;
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

int runDrillFormat(const std::vector<std::string> &args)
{
    try {
        std::vector<GerberLoadFile> files;
        std::string drill, settingsFile = settingsPath(currentDirectory());
        bool settingsGiven = false;
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string &a = args[i];
            auto value = [&]() -> const std::string & {
                if (i + 1 >= args.size())
                    throw UsageError(a + " に値がありません");
                return args[++i];
            };
            if (a == "--gerber") {
                auto [layer, path] = layerFile(a, value());
                files.push_back({layer, path});
            } else if (a == "--settings") {
                settingsFile = value();
                settingsGiven = true;
            } else if (!a.empty() && a[0] == '-') {
                throw UsageError("不明なオプション: " + a);
            } else if (drill.empty()) {
                drill = a;
            } else {
                throw UsageError("ドリルファイルは一つだけ指定して下さい");
            }
        }
        if (drill.empty())
            throw UsageError("drill-format DRILL [--gerber N=PATH ...] の形で指定して下さい");
        if (settingsGiven && !fileExists(settingsFile))
            throw UsageError("設定ファイルがありません: " + settingsFile);

        StderrPrompter prompter;
        SilentStatus status;
        Settings settings;
        loadSettingsFor(settingsFile, settings, prompter);
        Document doc;
        ApertureTable table;
        MacroLibrary library;
        std::vector<std::string> gerberPaths;
        gerberPaths.reserve(files.size());
        for (const auto &f : files)
            gerberPaths.push_back(f.path);
        adoptDeclaredRs274X(settings.gerberIn, gerberPaths);
        if (!files.empty()) {
            GerberLoadContext context{doc, table, library, settings.gerberIn, prompter, status, nullptr};
            loadGerberFiles(context, files);
        }
        std::string bytes;
        try {
            bytes = readFileBytes(drill);
        } catch (const KorvaneError &e) {
            prompter.error(fileNameOf(drill) + "\n" + e.text());
            return 1;
        }
        // The format the load would start from: the settings under the header.
        DrillInFormat inUse = settings.drillIn;
        applyDeclaredFormat(readDrillHeader(bytes), inUse);
        PadMap pads(doc.displayList);
        if (pads.empty()) {
            std::cout << "パッドがありません（--gerber でガーバーファイルを指定して下さい）: " << drillFormatName(inUse)
                      << "\n";
            return 1;
        }
        for (const DrillFormatScore &s : rankDrillFormats(bytes, pads, inUse)) {
            char share[32];
            std::snprintf(share, sizeof share, "%5.1f%%", s.share() * 100);
            std::cout << drillFormatName(s.format) << "\t" << s.onPads << "/" << s.hits << "\t" << share
                      << (s.format == inUse ? "\t(使用中)" : "") << "\n";
        }
        return 0;
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

}  // namespace korvane::cli
