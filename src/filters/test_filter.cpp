#include "filters/test_filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/text_io.h"

namespace gc {

namespace {

TestFilterResult Refuse(std::string message) {
    TestFilterResult r;
    r.message = std::move(message);
    return r;
}

// The folder of a chosen path, split at the last '/' or '\' as the bare name is.
std::filesystem::path FolderOf(const std::string& chosen, const std::string& name) {
    std::string folder = chosen.substr(0, chosen.size() - name.size());
    while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    if (folder.empty() && chosen.size() > name.size()) folder = "/";  // the root itself
    return folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
}

// Byte offset just past the first `count` characters of a UTF-8 name, or npos
// when it has fewer. A Cyrillic letter takes two bytes: cutting bytes would
// leave half a letter in the file name.
size_t AfterCharacters(const std::string& name, int count) {
    size_t at = 0;
    for (int k = 0; k < count; ++k) {
        if (at >= name.size()) return std::string::npos;
        ++at;
        while (at < name.size() && (static_cast<unsigned char>(name[at]) & 0xC0) == 0x80) ++at;
    }
    return at;
}

// Writes the files of one set, all or none. A cause in a folder is told for
// that folder's first file, as a single write tells it.
bool WriteSet(const std::vector<FileToWrite>& files, TestFilterResult& r) {
    r.failure = WriteFileSet(files);
    if (r.failure.ok()) {
        for (const FileToWrite& f : files) r.written.push_back(f.path);
        return true;
    }
    const std::filesystem::path& at = r.failure.path;
    auto in = [&](const std::filesystem::path& folder) {
        return std::find_if(files.begin(), files.end(),
                            [&](const FileToWrite& f) { return f.path.parent_path() == folder; });
    };
    auto it = std::find_if(files.begin(), files.end(), [&](const FileToWrite& f) { return f.path == at; });
    if (it == files.end()) it = in(at);
    if (it == files.end()) it = in(at.parent_path());  // a journal left there
    if (it == files.end()) it = files.begin();
    r.failed = r.failure.path = it->path;
    r.message = "Не удалось записать файл " + r.failed.string();
    return false;
}

}  // namespace

TestFilterParams TestFilterParamsOf(const Settings& s, const DecimationState& d, int channel) {
    const int ch = std::clamp(channel, 0, kChannels - 1);
    return {s.IndexFilter, s.NumTapsFilter, s.Deviation, s.Obkatka, d.OutputRate[ch]};
}

std::vector<int> RampValues(int kind, int N) {
    std::vector<int> v;
    if (N < 1 || N > kRampMaxTaps) return v;
    if (kind == kRampPlain) {
        for (int i = 1; i <= N; ++i) v.push_back(i);
    } else if (kind == kRampOdd) {
        const int M = (N + 1) / 2;
        for (int i = 1; i <= M; ++i) v.push_back(i);
        for (int i = M - 1; i >= 1; --i) v.push_back(i);
    } else if (kind == kRampEven) {
        const int H = N / 2;
        for (int i = 1; i <= H; ++i) v.push_back(i);
        for (int i = H; i >= 1; --i) v.push_back(i);
    }
    return v;
}

double ChirpWindow(int n, int N, int obkatka) {
    if (obkatka != 1 || N == 0) return 1.0;
    const double x = (2.0 * std::numbers::pi / N) * (n - N * 0.5);
    if (x == 0.0) return 1.0;
    const double s = std::sin(x) / x;
    return s * s;
}

ChirpSet ComputeChirp(const TestFilterParams& p) {
    ChirpSet set;
    const int N = p.numTaps;
    const double fs = static_cast<double>(p.outputRate), D = p.deviation;
    const double sign = p.kind == kChirpDown ? -1.0 : 1.0;
    // The instantaneous frequency w0 + k n sweeps from -D/2 to +D/2 (rising)
    // or back (falling) over the N taps.
    const double w0 = -sign * std::numbers::pi * D / fs;
    const double k = sign * 2.0 * std::numbers::pi * D / ((N - 1) * fs);
    set.I.resize(static_cast<size_t>(N));
    set.Q.resize(static_cast<size_t>(N));
    for (int n = 0; n < N; ++n) {
        const double w = ChirpWindow(n, N, p.obkatka);
        const double phi = static_cast<double>(n) * n * 0.5 * k + n * w0;
        const int32_t i = static_cast<int32_t>(std::trunc(std::cos(phi) * (w * kChirpAmplitude)));
        const int32_t q = static_cast<int32_t>(std::trunc(std::sin(phi) * (w * kChirpAmplitude)));
        set.I[static_cast<size_t>(n)] = i;
        set.Q[static_cast<size_t>(n)] = q;
        // Accumulated in single precision, as the result boxes always showed them.
        set.sums.II += static_cast<float>(i * i);
        set.sums.QQ += static_cast<float>(q * q);
        set.sums.I += static_cast<float>(i);
        set.sums.Q += static_cast<float>(q);
    }
    return set;
}

TestFilterResult WriteTestFilter(const TestFilterParams& p, const std::filesystem::path& chosen) {
    const std::string chosenText = chosen.string();
    const std::string name = BareFileName(chosenText);
    const std::filesystem::path folder = FolderOf(chosenText, name);
    const int N = p.numTaps;

    if (p.kind == kRampEven || p.kind == kRampOdd || p.kind == kRampPlain) {
        const int least = p.kind == kRampEven ? 2 : 1;  // an even ramp of one tap has no values
        if (N < least || N > kRampMaxTaps)
            return Refuse("Число отводов N должно быть от " + std::to_string(least) + " до " +
                          std::to_string(kRampMaxTaps));
        if (name.empty()) return Refuse("Не задано имя файла");
        const std::vector<int> values = RampValues(p.kind, N);
        std::string taps, copy;
        for (int v : values) {
            taps += StrPrintf(" %d\n", v);
            copy += StrPrintf(" %f\n", static_cast<double>(v));
        }
        TestFilterResult r;
        // The taps and their copy are one set: both are replaced or neither.
        const std::filesystem::path appl = (folder / ".." / "Appl" / name).lexically_normal();
        r.ok = WriteSet({{folder / name, taps}, {appl, copy}}, r);
        return r;
    }

    if (p.kind == kChirpUp || p.kind == kChirpDown) {
        if (N < 2 || N > kChirpMaxTaps)
            return Refuse("Число отводов ЛЧМ должно быть от 2 до " + std::to_string(kChirpMaxTaps));
        const size_t cut = AfterCharacters(name, 2);
        if (cut == std::string::npos) return Refuse("Имя файла ЛЧМ должно содержать не меньше двух символов");
        if (!(p.outputRate > 0.0f) || !std::isfinite(p.outputRate))
            return Refuse("Выходная частота канала не положительна: ЛЧМ не может быть рассчитана");
        const ChirpSet set = ComputeChirp(p);
        std::string textI, textQ;
        for (int n = 0; n < N; ++n) {
            textI += StrPrintf(" %d\n", set.I[static_cast<size_t>(n)]);
            textQ += StrPrintf(" %d\n", set.Q[static_cast<size_t>(n)]);
        }
        TestFilterResult r;
        r.chirp = true;
        r.sums = set.sums;
        const std::string rest = name.substr(cut);
        // The I and Q halves are one set: both are replaced or neither.
        const std::filesystem::path pathI = folder / ("_I" + rest), pathQ = folder / ("_Q" + rest);
        r.ok = WriteSet({{pathI, textI}, {pathQ, textQ}}, r);
        return r;
    }

    return Refuse("Неизвестный вид фильтра " + std::to_string(p.kind));
}

}  // namespace gc
