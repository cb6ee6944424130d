#include "icons/icondrawing.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <iterator>

// Every drawing is kept as an SVG source under icons/drawings/svg. Some icons are embedded
// as those drawings and rendered when asked for; the others are embedded as PNG files
// rasterised from their sources by scripts/render-icons, which renders exactly as
// renderIconDrawing below does. Either way the caller gets the same kind of image.

static void initIconResources() {
    // The resources live in a static library: without an explicit reference the linker
    // would leave them out of the executable.
    Q_INIT_RESOURCE(icons);
}

namespace {

constexpr int iconSize = 16;

struct IconEntry {
    const char *name;
    bool svg; // embedded as an SVG drawing rather than as PNG data
};

constexpr IconEntry iconEntries[] = {
    {"ActionDelete", false},
    {"ActionGoToDeclaration", false},
    {"ActionGoToDefinition", false},
    {"ActionReverseLayout", false},
    {"AutoRefresh", true},
    {"BlueCircleRefresh", false},
    {"BrowserBack", true},
    {"BrowserDown", true},
    {"BrowserForward", true},
    {"BrowserHome", true},
    {"BrowserUp", true},
    {"CodeOutline", false},
    {"DebugAttach", false},
    {"DebugAutoStep", false},
    {"DebugBreakpoints", false},
    {"DebugContinue", false},
    {"DebugExecute", false},
    {"DebugFrameDown", false},
    {"DebugFrameUp", false},
    {"DebugGo", false},
    {"DebugInterrupt", false},
    {"DebugInterruptDisable", false},
    {"DebugInterruptEnable", false},
    {"DebugPause", false},
    {"DebugQuickWatch", true},
    {"DebugReset", false},
    {"DebugRestart", false},
    {"DebugRunToCursor", false},
    {"DebugSetNextStatement", false},
    {"DebugShowNextStatement", false},
    {"DebugStart", false},
    {"DebugStepInto", false},
    {"DebugStepOut", false},
    {"DebugStepOver", false},
    {"DebugStop", false},
    {"DebugToggleBreakpoint", false},
    {"DebugVerify", false},
    {"Dropdown", true},
    {"EditBookmarkClearAll", false},
    {"EditBookmarkNext", false},
    {"EditBookmarkPrev", false},
    {"EditBookmarkToggle", false},
    {"EditComment", false},
    {"EditCopy", true},
    {"EditCut", true},
    {"EditDecreaseTextSize", true},
    {"EditFind", false},
    {"EditFindAgain", false},
    {"EditFindNext", false},
    {"EditFindNextFunction", false},
    {"EditFindNextSelected", false},
    {"EditFindPrev", false},
    {"EditFindPrevFunction", false},
    {"EditFindPrevSelected", false},
    {"EditFindReferences", false},
    {"EditGoTo", false},
    {"EditIncreaseTextSize", true},
    {"EditIndent", false},
    {"EditLocateNext", false},
    {"EditLocatePrev", false},
    {"EditOutdent", false},
    {"EditPaste", true},
    {"EditRedo", true},
    {"EditReplace", false},
    {"EditUncomment", false},
    {"EditUndo", true},
    {"FileClose", true},
    {"FileNew", false},
    {"FileOpen", false},
    {"FilePrint", false},
    {"FilePrintPreview", false},
    {"FileSave", false},
    {"FileSaveAll", false},
    {"FileSaveAndClose", false},
    {"Filter", true},
    {"MacroCancelRecording", false},
    {"MacroPauseRecording", false},
    {"MacroPlayRecording", false},
    {"MacroStartRecording", false},
    {"MacroStopRecording", false},
    {"Options", true},
    {"OrrinDebugGo", false},
    {"OrrinDebugPause", false},
    {"OrrinDebugRestart", false},
    {"OrrinDebugStop", false},
    {"ProjectBuild", false},
    {"ProjectBuildAndDebug", false},
    {"ProjectBuildCancel", false},
    {"ProjectBuildSelection", false},
    {"ProjectBuildSolution", false},
    {"Refresh", true},
    {"SearchClear", true},
    {"Settings", true},
    {"SourceControlAddToSourceControl", false},
    {"SourceControlCheckIn", false},
    {"SourceControlGetLatestVersion", false},
    {"SourceControlRemoveFromSourceControl", false},
    {"SourceControlResolved", false},
    {"SourceControlShowDifferences", false},
    {"SourceControlUndoCheckOut", false},
    {"Suggest", true},
    {"ViewBase10", false},
    {"ViewBase16", false},
    {"ViewBase2", false},
    {"ViewBase8", false},
    {"ViewDataAndText", false},
    {"ViewDataOnly", false},
    {"ViewFromAddressAscending", false},
    {"ViewFromAddressDescending", false},
    {"ViewMemoryUsage", true},
    {"ViewSigned", false},
    {"ViewTextOnly", false},
    {"ViewToAddressAscending", false},
    {"ViewToAddressDescending", false},
    {"ViewWidth16", false},
    {"ViewWidth32", false},
    {"ViewWidth64", false},
    {"ViewWidth8", false},
    {"WindowWindows", false},
    {"XML", true},
};

const QHash<QString, const IconEntry *> &iconIndex() {
    static const QHash<QString, const IconEntry *> index = [] {
        initIconResources();
        QHash<QString, const IconEntry *> h;
        for (const IconEntry &entry : iconEntries)
            h.insert(QString::fromLatin1(entry.name), &entry);
        return h;
    }();
    return index;
}

} // namespace

QImage renderIconDrawing(const QString &svgFile) {
    QSvgRenderer renderer(svgFile);
    if (!renderer.isValid())
        return QImage();
    QImage image(iconSize, iconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSizeF size = renderer.viewBoxF().size();
    if (size.isEmpty())
        size = QSizeF(iconSize, iconSize);
    size.scale(iconSize, iconSize, Qt::KeepAspectRatio);
    const QRectF target((iconSize - size.width()) / 2, (iconSize - size.height()) / 2, size.width(),
                        size.height());
    QPainter painter(&image);
    renderer.render(&painter, target);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage iconImage(const QString &name) {
    const IconEntry *entry = iconIndex().value(name);
    if (!entry)
        return QImage();
    const QString base = QLatin1String(":/quillgen/icons/");
    if (entry->svg)
        return renderIconDrawing(base + QLatin1String("svg/") + name + QLatin1String(".svg"));
    return QImage(base + QLatin1String("png/") + name + QLatin1String(".png"), "PNG");
}

QStringList iconNames() {
    QStringList names;
    names.reserve(qsizetype(std::size(iconEntries)));
    for (const IconEntry &entry : iconEntries)
        names.append(QString::fromLatin1(entry.name));
    names.sort();
    return names;
}
