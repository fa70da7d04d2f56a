#include "app/AppSettings.h"

#include "app/EvaluationText.h"
#include "app/TableImportDialog.h"
#include "platform/NumberText.h"
#include "view/DisplayScale.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

namespace kyklos {

namespace {

const QString kGeometry = QStringLiteral("Window/Geometry");
const QString kState = QStringLiteral("Window/State");
const QString kStateCheck = QStringLiteral("Window/StateCheck");
const QString kStatusBar = QStringLiteral("Window/StatusBar");
const QString kRawData = QStringLiteral("Display/RawData");
const QString kReferenceCircle = QStringLiteral("Display/ReferenceCircle");
const QString kCenteredProfile = QStringLiteral("Display/CenteredProfile");
const QString kMetricUnits = QStringLiteral("Display/MetricUnits");
const QString kAutoScale = QStringLiteral("Display/AutoScale");
const QString kBandRange = QStringLiteral("Display/BandRange");
const QString kFilterCutoff = QStringLiteral("Analysis/FilterCutoff");
const QString kReference = QStringLiteral("Analysis/Reference");
const QString kFilterKind = QStringLiteral("Analysis/FilterKind");
const QString kBandLow = QStringLiteral("Analysis/BandLow");
const QString kBandHigh = QStringLiteral("Analysis/BandHigh");
const QString kSpikeDeviations = QStringLiteral("Analysis/SpikeDeviations");
const QString kExcludedSectors = QStringLiteral("Analysis/ExcludedSectors");
const QString kTolerance = QStringLiteral("Analysis/Tolerance");
const QString kToleranceUnit = QStringLiteral("Analysis/ToleranceUnit");
// Where earlier versions kept the tolerance, in micrometres.
const QString kEarlierTolerance = QStringLiteral("Evaluation/Tolerance");
const QString kSpectrumRange = QStringLiteral("Evaluation/Range");
const QString kSpectrumLogarithmic = QStringLiteral("Evaluation/Logarithmic");
const QString kOpenFolder = QStringLiteral("Files/OpenFolder");
const QString kTableImports = QStringLiteral("TableImports");
const QString kTableShape = QStringLiteral("Shape");
const QString kTableReading = QStringLiteral("Reading");
const QString kUncertaintyNoise = QStringLiteral("Uncertainty/ProbeNoise");
const QString kUncertaintyAngle = QStringLiteral("Uncertainty/AngularNoise");
const QString kUncertaintyCalibration = QStringLiteral("Uncertainty/Calibration");
const QString kUncertaintyResolution = QStringLiteral("Uncertainty/Resolution");
const QString kUncertaintyDraws = QStringLiteral("Uncertainty/Draws");
const QString kUncertaintySeed = QStringLiteral("Uncertainty/Seed");
const QString kPanelShown = QStringLiteral("Evaluation/Visible");
const QString kOptionRecentFiles = QStringLiteral("Options/RecentFiles");
const QString kOptionRestore = QStringLiteral("Options/RestoreSettings");
const QString kOptionPrintEvaluation = QStringLiteral("Options/PrintEvaluationPage");

// The keys of the values restored at start.
const QString* const kRestoredKeys[] = {&kGeometry,
                                        &kState,
                                        &kStateCheck,
                                        &kStatusBar,
                                        &kRawData,
                                        &kReferenceCircle,
                                        &kCenteredProfile,
                                        &kMetricUnits,
                                        &kAutoScale,
                                        &kBandRange,
                                        &kFilterCutoff,
                                        &kReference,
                                        &kFilterKind,
                                        &kBandLow,
                                        &kBandHigh,
                                        &kSpikeDeviations,
                                        &kExcludedSectors,
                                        &kOpenFolder,
                                        &kTableImports,
                                        &kUncertaintyNoise,
                                        &kUncertaintyAngle,
                                        &kUncertaintyCalibration,
                                        &kUncertaintyResolution,
                                        &kUncertaintyDraws,
                                        &kUncertaintySeed};

// The spectrum's ranges as the settings file writes them.
constexpr std::pair<HarmonicRange, const char*> kRangeTexts[] = {{HarmonicRange::Upr50, "50"},
                                                                 {HarmonicRange::Upr150, "150"},
                                                                 {HarmonicRange::Upr500, "500"},
                                                                 {HarmonicRange::All, "All"}};

// A settings file holds text: QVariant's own conversions take any non-empty
// text for true and a failed number for 0, so each kind is read strictly here.
std::optional<bool> ReadBool(const QSettings& store, const QString& key)
{
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::Bool) return value.toBool();
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1")) return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0")) return false;
    return std::nullopt;
}

std::optional<int> ReadInt(const QSettings& store, const QString& key)
{
    const QVariant value = store.value(key);
    if (value.typeId() != QMetaType::Int && value.typeId() != QMetaType::QString) return std::nullopt;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<double> ReadDouble(const QSettings& store, const QString& key)
{
    const QVariant value = store.value(key);
    bool ok = value.typeId() == QMetaType::Double;
    double number = ok ? value.toDouble() : 0.0;
    // QString::toDouble reads a full stop whatever the user's locale.
    if (value.typeId() == QMetaType::QString) number = value.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

std::optional<QByteArray> ReadBytes(const QSettings& store, const QString& key)
{
    const QVariant value = store.value(key);
    if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
    return value.toByteArray();
}

std::optional<HarmonicRange> ReadRange(const QSettings& store, const QString& key)
{
    const QString text = store.value(key).toString();
    for (const auto& [range, name] : kRangeTexts)
        if (text == QLatin1String(name)) return range;
    return std::nullopt;
}

// The check written beside the window state: its SHA-256, in hexadecimal.
QString StateCheck(const QByteArray& state)
{
    return QString::fromLatin1(QCryptographicHash::hash(state, QCryptographicHash::Sha256).toHex());
}

template <typename T>
void Take(std::optional<T> value, T& into)
{
    if (value) into = *value;
}

bool IsOnAScreen(const QRect& frame, const QList<QRect>& screens)
{
    return std::any_of(screens.begin(), screens.end(),
                       [&frame](const QRect& screen) { return screen.intersects(frame); });
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), error);
}

// The tolerance as typed, in its unit; an earlier version's micrometres; or none.
std::optional<RoundnessTolerance> ReadTolerance(const QSettings& store)
{
    const bool current = store.contains(kTolerance);
    const QVariant value = store.value(current ? kTolerance : kEarlierTolerance);
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    const std::optional<double> number = ParseTolerance(value.toString().toStdString());
    if (!number) return std::nullopt;
    const bool metric = !current || store.value(kToleranceUnit).toString() != QLatin1String("uin");
    return RoundnessTolerance{*number, metric};
}

// The filter kind, the band, spike removal and the excluded sectors, into a:
// a band its own rule refuses keeps the default band, and a list of sectors
// with one that does not read, or longer than the window writes, is dropped.
void LoadFilterOptions(QSettings& store, AnalysisSettings& a)
{
    if (const auto kind = FilterKindFromName(store.value(kFilterKind).toString().toStdString())) a.FilterKind = *kind;
    const auto low = ReadInt(store, kBandLow);
    const auto high = ReadInt(store, kBandHigh);
    if (low && high && !FilterSpecRefusal({FilterKind::Band, 50, *low, *high})) {
        a.BandLowUpr = *low;
        a.BandHighUpr = *high;
    }
    if (const auto k = ReadDouble(store, kSpikeDeviations))
        if (*k > 0.0) a.SpikeDeviations = *k;
    const QStringList texts = store.value(kExcludedSectors).toStringList();
    if (texts.size() > kMaxRememberedSectors) return;
    std::vector<ExcludedSector> sectors;
    for (const QString& text : texts) {
        const auto sector = ParseExcludedSector(text.toStdString());
        if (!sector) return;
        sectors.push_back(*sector);
    }
    a.ExcludedSectors = std::move(sectors);
}

// Entries whose reading is not as Kyklos writes it are dropped.
std::map<std::string, std::string> LoadTableImports(QSettings& store)
{
    std::map<std::string, std::string> imports;
    const int count = std::min(store.beginReadArray(kTableImports), static_cast<int>(kMaxTableImports));
    for (int i = 0; i < count; ++i) {
        store.setArrayIndex(i);
        const auto shape = ReadBytes(store, kTableShape);
        const std::string reading = store.value(kTableReading).toString().toStdString();
        if (shape && ParseTableReadingText(reading)) imports[shape->toStdString()] = reading;
    }
    store.endArray();
    return imports;
}

// The uncertainty model and simulation, each value on its own: a length or
// angle of 0 or more, draws as the dialog takes them, any unsigned seed.
void LoadUncertaintyRequest(const QSettings& store, UncertaintyRequest& request)
{
    const std::pair<const QString*, double*> terms[] = {{&kUncertaintyNoise, &request.Model.ProbeNoiseUm},
                                                        {&kUncertaintyAngle, &request.Model.AngularNoiseDeg},
                                                        {&kUncertaintyCalibration, &request.Model.CalibrationUm},
                                                        {&kUncertaintyResolution, &request.Model.ResolutionUm}};
    for (const auto& [key, value] : terms)
        if (const auto number = ReadDouble(store, *key); number && *number >= 0.0) *value = *number;
    if (const auto draws = ReadInt(store, kUncertaintyDraws); draws && *draws >= kFewestDraws && *draws <= 10000000)
        request.Draws = *draws;
    bool ok = false;
    const qulonglong seed = store.value(kUncertaintySeed).toString().trimmed().toULongLong(&ok);
    if (ok) request.Seed = seed;
}

void SaveUncertaintyRequest(QSettings& store, const UncertaintyRequest& request)
{
    const auto number = [](double value) { return QString::fromStdString(ShortestNumber(value)); };
    store.setValue(kUncertaintyNoise, number(request.Model.ProbeNoiseUm));
    store.setValue(kUncertaintyAngle, number(request.Model.AngularNoiseDeg));
    store.setValue(kUncertaintyCalibration, number(request.Model.CalibrationUm));
    store.setValue(kUncertaintyResolution, number(request.Model.ResolutionUm));
    store.setValue(kUncertaintyDraws, request.Draws);
    store.setValue(kUncertaintySeed, QString::number(request.Seed));
}

// The values restored at start, into s.
void LoadRestoredSettings(QSettings& store, const QList<QRect>& screens, AppSettings& s)
{
    if (const auto geometry = ReadBytes(store, kGeometry)) {
        const auto frame = SavedFrameGeometry(*geometry);
        if (frame && IsOnAScreen(*frame, screens)) s.WindowGeometry = *geometry;
    }
    // QMainWindow::restoreState trusts the counts in its record (a damaged
    // one can crash it): only the record as written, by its check, is taken.
    if (const auto state = ReadBytes(store, kState))
        if (store.value(kStateCheck).toString() == StateCheck(*state)) s.WindowState = *state;
    Take(ReadBool(store, kStatusBar), s.StatusBarVisible);

    Take(ReadBool(store, kRawData), s.ShowRawData);
    Take(ReadBool(store, kReferenceCircle), s.ShowReferenceCircle);
    Take(ReadBool(store, kCenteredProfile), s.ShowCenteredProfile);
    Take(ReadBool(store, kMetricUnits), s.MetricUnits);
    Take(ReadBool(store, kAutoScale), s.AutoScale);
    // The band spans two divisions; a division outside the scales a user may
    // set would leave the graph without a finite scale.
    if (const auto band = ReadDouble(store, kBandRange)) {
        const double division = *band * 0.5;
        if (division >= kMinScaleMicrometres && division <= kMaxScaleMicrometres) s.BandRange = *band;
    }

    if (const auto cutoff = ReadInt(store, kFilterCutoff))
        if (std::find(kFilterCutoffs.begin(), kFilterCutoffs.end(), *cutoff) != kFilterCutoffs.end())
            s.Analysis.FilterCutoffUpr = *cutoff;
    if (const auto reference = ReadInt(store, kReference))
        if (*reference >= 0 && *reference <= 3) s.Analysis.ReferenceKind = ReferenceKindFromIndex(*reference);
    LoadFilterOptions(store, s.Analysis);

    if (const auto folder = ReadBytes(store, kOpenFolder))
        if (IsFolder(folder->toStdString())) s.OpenFolder = folder->toStdString();
    s.TableImports = LoadTableImports(store);
    LoadUncertaintyRequest(store, s.Uncertainty);
}

} // namespace

AppSettings LoadAppSettings(QSettings& store, const QList<QRect>& screens)
{
    AppSettings s;
    Take(ReadBool(store, kOptionRecentFiles), s.Options.RecentFiles);
    Take(ReadBool(store, kOptionRestore), s.Options.RestoreSettings);
    Take(ReadBool(store, kOptionPrintEvaluation), s.Options.PrintEvaluationPage);

    s.Analysis.Tolerance = ReadTolerance(store);
    Take(ReadBool(store, kPanelShown), s.EvaluationPanelShown);
    Take(ReadRange(store, kSpectrumRange), s.Evaluation.Range);
    Take(ReadBool(store, kSpectrumLogarithmic), s.Evaluation.Logarithmic);

    if (s.Options.RestoreSettings) LoadRestoredSettings(store, screens, s);
    if (s.Options.RecentFiles) s.Recent = RecentFiles::Load(store);
    return s;
}

void SaveAppSettings(QSettings& store, const AppSettings& s)
{
    if (!s.Options.RestoreSettings) return;
    store.setValue(kGeometry, s.WindowGeometry);
    store.setValue(kState, s.WindowState);
    store.setValue(kStateCheck, StateCheck(s.WindowState));
    store.setValue(kStatusBar, s.StatusBarVisible);
    store.setValue(kRawData, s.ShowRawData);
    store.setValue(kReferenceCircle, s.ShowReferenceCircle);
    store.setValue(kCenteredProfile, s.ShowCenteredProfile);
    store.setValue(kMetricUnits, s.MetricUnits);
    store.setValue(kAutoScale, s.AutoScale);
    store.setValue(kBandRange, s.BandRange);
    store.setValue(kFilterCutoff, s.Analysis.FilterCutoffUpr);
    store.setValue(kReference, ReferenceIndex(s.Analysis.ReferenceKind));
    const AnalysisSettings& a = s.Analysis;
    store.setValue(kFilterKind, ToQString(FilterName(a.FilterKind)));
    store.setValue(kBandLow, a.BandLowUpr);
    store.setValue(kBandHigh, a.BandHighUpr);
    // Empty without spike removal; else the shortest text of k, with a full stop.
    store.setValue(kSpikeDeviations,
                   a.SpikeDeviations ? QString::fromStdString(ShortestNumber(*a.SpikeDeviations)) : QString());
    QStringList sectors;
    for (const ExcludedSector& sector : a.ExcludedSectors)
        sectors << QString::fromStdString(ExcludedSectorText(sector));
    store.setValue(kExcludedSectors, sectors);
    store.setValue(kOpenFolder, QByteArray::fromStdString(s.OpenFolder));
    SaveUncertaintyRequest(store, s.Uncertainty);
    SaveTableImports(store, s.TableImports);
}

void SaveTableImports(QSettings& store, const std::map<std::string, std::string>& imports)
{
    store.remove(kTableImports);
    if (imports.empty()) return;
    store.beginWriteArray(kTableImports, static_cast<int>(imports.size()));
    int i = 0;
    for (const auto& [shape, reading] : imports) {
        store.setArrayIndex(i++);
        // A shape holds the column header's text: bytes, as the paths are kept.
        store.setValue(kTableShape, QByteArray::fromStdString(shape));
        store.setValue(kTableReading, QString::fromStdString(reading));
    }
    store.endArray();
}

void ForgetRestoredSettings(QSettings& store)
{
    for (const QString* key : kRestoredKeys) store.remove(*key);
}

void SaveOptions(QSettings& store, const AppOptions& options)
{
    store.setValue(kOptionRecentFiles, options.RecentFiles);
    store.setValue(kOptionRestore, options.RestoreSettings);
    store.setValue(kOptionPrintEvaluation, options.PrintEvaluationPage);
}

void SaveEvaluationPanelShown(QSettings& store, bool shown) { store.setValue(kPanelShown, shown); }

void SaveTolerance(QSettings& store, const std::optional<RoundnessTolerance>& tolerance)
{
    // The shortest text that reads back as the same number, with a full stop.
    store.setValue(kTolerance, tolerance ? QString::fromStdString(ShortestNumber(tolerance->Value)) : QString());
    store.setValue(kToleranceUnit, tolerance && !tolerance->Metric ? QStringLiteral("uin") : QStringLiteral("um"));
    store.remove(kEarlierTolerance);
}

void SaveEvaluationChoices(QSettings& store, const EvaluationChoices& choices)
{
    for (const auto& [range, name] : kRangeTexts)
        if (range == choices.Range) store.setValue(kSpectrumRange, QString::fromLatin1(name));
    store.setValue(kSpectrumLogarithmic, choices.Logarithmic);
}

QList<QRect> AvailableScreenRects()
{
    QList<QRect> rects;
    for (const QScreen* screen : QGuiApplication::screens()) rects << screen->availableGeometry();
    return rects;
}

std::optional<QRect> SavedFrameGeometry(const QByteArray& geometry)
{
    // saveGeometry's record starts, in every version Qt has written (1 to 3),
    // with a magic number, the version and the frame rectangle.
    constexpr quint32 kMagic = 0x1D9D0CB;
    QDataStream in(geometry);
    in.setVersion(QDataStream::Qt_4_0);
    quint32 magic = 0;
    quint16 major = 0, minor = 0;
    QRect frame;
    in >> magic >> major >> minor >> frame;
    if (in.status() != QDataStream::Ok || magic != kMagic || major < 1 || major > 3 || !frame.isValid())
        return std::nullopt;
    return frame;
}

} // namespace kyklos
