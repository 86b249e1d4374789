#include "session/command_status.h"

#include <algorithm>
#include <cerrno>

#include "core/channel_rules.h"
#include "core/lab_file.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "filters/test_filter.h"
#include "session/edit_rules.h"

namespace gc {

namespace {

namespace fs = std::filesystem;

std::string Letter(int channel) { return std::string(1, static_cast<char>('A' + channel)); }

std::string Writes(int n) { return CountText(n, "запись регистра", "записи регистров", "записей регистров"); }

std::string WithOutside(std::string line, const Settings& s) {
    const std::string outside = OutsideChipStatus(s);
    if (!outside.empty()) line += ". " + outside;
    return line;
}

}  // namespace

const char* PluralWord(long long n, const char* one, const char* few, const char* many) {
    const long long a = n < 0 ? -n : n;
    const long long n100 = a % 100, n10 = a % 10;
    if (n100 >= 11 && n100 <= 14) return many;
    return n10 == 1 ? one : (n10 >= 2 && n10 <= 4) ? few : many;
}

std::string CountText(long long n, const char* one, const char* few, const char* many) {
    return std::to_string(n) + " " + PluralWord(n, one, few, many);
}

std::string ShownPath(const fs::path& path, const Workspace& workspace) {
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(workspace.root, ec);
    // The folder is resolved, not the file: a link named in the folder is shown by its own name.
    const fs::path full = path.has_parent_path() ? fs::weakly_canonical(path.parent_path(), ec) / path.filename()
                                                 : fs::weakly_canonical(path, ec);
    if (!root.empty() && !full.empty()) {
        const fs::path rel = full.lexically_relative(root);
        if (!rel.empty() && *rel.begin() != "..") return rel.generic_string();
    }
    return path.generic_string();
}

namespace {

std::string CutValuesText(int n) {
    return CountText(n, "значение прочитано", "значения прочитаны", "значений прочитано") +
           " не целиком (взято целое в начале строки)";
}

}  // namespace

TapFileScan ScanTapFile(const fs::path& path) {
    TapFileScan scan;
    scan.text = InspectTextFile(path);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return scan;
    bool endsWithBreak = false;
    auto lines = ReadLines(path, &endsWithBreak);
    if (!lines) return scan;
    scan.readable = true;
    // As the reader: only finished lines, at most 512 taps.
    size_t finished = lines->size();
    if (!endsWithBreak && finished > 0) --finished;
    for (size_t i = 0; i < finished && scan.taps < kMaxTaps; ++i) {
        const char* text = (*lines)[i].c_str();
        const char* end = text;
        const long v = CToLong(text, 10, &end);
        if (end == text) {
            ++scan.skippedLines;
            continue;
        }
        ++scan.taps;
        if (v < -32768 || v > 32767) ++scan.reducedValues;
        while (*end == ' ' || *end == '\t' || *end == '\r') ++end;
        if (*end != '\0') ++scan.cutValues;
    }
    return scan;
}

std::vector<CoefFileFinding> CoefFileFindings(const Settings& s, const Workspace& workspace) {
    std::vector<CoefFileFinding> out;
    std::vector<fs::path> seen;
    for (int c = 0; c < kChannels; ++c) {
        const fs::path p = PfirFilePath(s, c, workspace);
        if (std::find(seen.begin(), seen.end(), p) != seen.end()) continue;
        seen.push_back(p);
        CoefFileFinding f{ShownPath(p, workspace), ScanTapFile(p)};
        if (f.scan.text.problem == TextProblem::Missing) continue;
        if (f.scan.text.problem != TextProblem::None || f.scan.reducedValues > 0 || f.scan.skippedLines > 0 ||
            f.scan.cutValues > 0)
            out.push_back(std::move(f));
    }
    return out;
}

std::vector<std::string> CoefFileWarnings(const Settings& s, const Workspace& workspace) {
    std::vector<std::string> out;
    for (const CoefFileFinding& f : CoefFileFindings(s, workspace)) {
        if (f.scan.text.problem != TextProblem::None) {
            out.push_back(f.shown + " " + TextProblemText(f.scan.text) + ", its taps were read as far as they go");
            continue;
        }
        const int reduced = f.scan.reducedValues, skipped = f.scan.skippedLines;
        if (reduced > 0)
            out.push_back(f.shown + ": " + std::to_string(reduced) + (reduced == 1 ? " tap lies" : " taps lie") +
                          " outside -32768..32767 and kept only its low 16 bits");
        if (skipped > 0)
            out.push_back(f.shown + ": " + std::to_string(skipped) +
                          (skipped == 1 ? " line holds no number and was" : " lines hold no number and were") +
                          " skipped");
        if (const int cut = f.scan.cutValues; cut > 0)
            out.push_back(f.shown + ": " + std::to_string(cut) + (cut == 1 ? " tap was" : " taps were") +
                          " not read whole: only the integer a line starts with is taken (\"1.5\" gives 1)");
    }
    return out;
}

std::vector<std::string> CoefFileNoteLines(const std::vector<CoefFileFinding>& findings) {
    std::vector<std::string> out;
    for (const CoefFileFinding& f : findings) {
        if (f.scan.text.problem != TextProblem::None) {
            out.push_back(f.shown + ": " + CauseText(f.scan.text) + ", коэффициенты взяты, насколько читаются");
            continue;
        }
        const int reduced = f.scan.reducedValues, skipped = f.scan.skippedLines;
        if (reduced > 0)
            out.push_back(f.shown + ": " + CountText(reduced, "значение", "значения", "значений") +
                          " вне -32768..32767, взяты только младшие 16 бит");
        if (skipped > 0)
            out.push_back(f.shown + ": " + PluralWord(skipped, "пропущена ", "пропущено ", "пропущено ") +
                          CountText(skipped, "строка", "строки", "строк") + " без числа");
        if (f.scan.cutValues > 0) out.push_back(f.shown + ": " + CutValuesText(f.scan.cutValues));
    }
    return out;
}

std::string LabReadStatus(const std::string& shown, bool read, const Settings& s) {
    if (!read) return "Не удалось прочитать " + shown + ": настройки не изменились";
    return WithOutside("Считан " + shown, s);
}

std::string LabSavedStatus(const std::string& lab, bool labWritten, const std::string& prg, bool prgWritten) {
    if (labWritten && prgWritten) return "Записаны " + lab + " и " + prg;
    std::string line;
    line += labWritten ? "Записан " + lab : "Не удалось записать " + lab;
    line += prgWritten ? "; записан " + prg : "; не удалось записать " + prg;
    return line;
}

std::string TableWrittenStatus(const std::string& shown, bool written) {
    return written ? "Записана таблица регистров " + shown : "Не удалось записать " + shown;
}

std::string TableReadStatus(const std::string& shown, bool read, const Settings& s) {
    if (!read) return "Не удалось прочитать " + shown + ": регистры не изменились";
    return WithOutside("Считана таблица регистров " + shown, s);
}

std::string ProgramWrittenStatus(const std::string& shown, bool written, int writes, int toolPairs, int page16,
                                 int page17) {
    std::string line = written ? "Записан " + shown + ": " + Writes(writes) : "Не удалось записать " + shown;
    if (toolPairs < 0) line += "; cmd5016 не оставил workcmd.gc101";
    line += "; расхождений с cmd5016: стр. 16 — " + std::to_string(page16) + ", стр. 17 — " + std::to_string(page17);
    return line;
}

std::string Gc101Status(const std::string& in, int pairs, int writes, int skipped, const std::string& out,
                        bool written) {
    if (pairs < 0) return "Не удалось прочитать " + in + (written ? std::string() : "; " + out + " не записан");
    const std::string skippedText =
        skipped > 0 ? ", " + std::string(PluralWord(skipped, "пропущена ", "пропущено ", "пропущено ")) +
                          CountText(skipped, "строка", "строки", "строк") + " без адреса и значения"
                    : std::string();
    if (writes == 0) return "В " + in + " нет ни одной записи регистра" + skippedText + "; " + out + " не записан";
    const std::string line =
        "Из " + in + " " + PluralWord(writes, "взята ", "взято ", "взято ") + Writes(writes) + skippedText;
    if (!written) return line + "; не удалось записать " + out;
    return line + "; записан " + out;
}

std::string BeRamStatus(const std::string& shown, int pairs) {
    if (pairs < 0) return "Файл " + shown + " не найден или не читается: страницы 17 не считаны";
    return "Из " + shown + " " + PluralWord(pairs, "считана ", "считано ", "считано ") +
           CountText(pairs, "пара", "пары", "пар") + " адрес/значение для страниц 17";
}

std::string CommandScriptStatus(const std::string& script, bool written, bool toolRan) {
    std::string line = written ? "Записан " + script : "Не удалось записать " + script + " (cmd5016 взял прежний)";
    line += toolRan ? "; cmd5016 выполнен" : "; программа cmd5016 не запустилась";
    return line;
}

std::string CompareStatus(const std::string& table, bool tableRead, const std::string& report, bool written,
                          int differences) {
    std::string line = tableRead ? "Считана " + table : "Нет " + table + " (сравнение с начальными значениями)";
    line += written ? "; записан " + report : "; не удалось записать " + report;
    return line + "; различий: " + std::to_string(differences);
}

std::string CoefFileStatus(const std::string& shown, int channel, const TapFileScan& scan) {
    // A file read although not text says so: what was read of it is not what
    // it holds. (One that did not open gets its cause from the caller.)
    const std::string cause =
        scan.readable && IsNotText(scan.text.problem) ? " (" + CauseText(scan.text) + ")" : std::string();
    if (!scan.readable || scan.taps == 0)
        return "Канал " + Letter(channel) + ": файл " + shown + cause + " не загружен";
    std::string line = "Канал " + Letter(channel) + ": из " + shown + " " +
                       PluralWord(scan.taps, "взят ", "взято ", "взято ") +
                       CountText(scan.taps, "коэффициент", "коэффициента", "коэффициентов");
    if (scan.skippedLines > 0)
        line += std::string(", ") + PluralWord(scan.skippedLines, "пропущена ", "пропущено ", "пропущено ") +
                CountText(scan.skippedLines, "строка", "строки", "строк") + " без числа";
    if (scan.reducedValues > 0)
        line += ", " + CountText(scan.reducedValues, "значение урезано", "значения урезаны", "значений урезано") +
                " до 16 бит";
    if (scan.cutValues > 0) line += ", " + CutValuesText(scan.cutValues);
    return line + cause;
}

std::string FltStatus(const std::string& in, const FltConversion& r, const std::string& out, bool declined) {
    if (declined) return "Файл " + out + " уже есть и оставлен без изменений";
    switch (r.status) {
        case FltConversion::Done: {
            std::string line = "Из " + in + " записан " + out + ": " +
                               CountText(r.count, "коэффициент", "коэффициента", "коэффициентов");
            if (r.padded > 0)
                line += "; в файле меньше коэффициентов, чем указано: последний повторён " +
                        CountText(r.padded, "раз", "раза", "раз");
            if (!r.countNotWhole.empty())
                line += "; число коэффициентов «" + r.countNotWhole + "» прочитано как " + std::to_string(r.count);
            if (r.saturated > 0)
                line += "; " + CountText(r.saturated, "значение", "значения", "значений") +
                        " вне 32 бит заменено ближайшим пределом";
            if (r.notWhole > 0)
                line += "; в " + CountText(r.notWhole, "строке", "строках", "строках") + " взято только целое число";
            return line;
        }
        case FltConversion::InputUnreadable:
            return "Не удалось прочитать " + in;
        case FltConversion::BadCount:
            return "В " + in + " нет допустимого числа коэффициентов: ничего не записано";
        case FltConversion::WriteFailed:
            break;
    }
    return "Не удалось записать " + out;
}

std::string TestFilterStatus(const TestFilterResult& r, const Workspace& workspace) {
    std::string line;
    if (!r.written.empty()) {
        line = "Записаны ";
        for (size_t i = 0; i < r.written.size(); ++i) line += (i ? ", " : "") + ShownPath(r.written[i], workspace);
    }
    if (!r.ok) {
        if (!line.empty()) line += "; ";
        line += r.failed.empty() ? "ничего не записано" : "не удалось записать " + ShownPath(r.failed, workspace);
        if (!r.message.empty()) line += " (" + r.message + ")";
    }
    return line;
}

std::string ApplyToAllStatus(int channel) {
    return "Настройки канала " + Letter(channel) + " применены ко всем каналам (отменить: Ctrl+Z)";
}

std::string DecimationTotalsLine(const Settings& s) {
    const int32_t* cic = ModeCicStore(s, s.ModeOfInput);
    if (!cic) cic = s.CicDec;
    const int mode = EffectiveInputMode(s);
    const bool paired = mode == 1 || mode == 2;
    std::string line = "Общие децимации каналов:";
    for (int c = 0; c < kChannels; c += paired ? 2 : 1) {
        const int64_t total = static_cast<int64_t>(cic[c]) * s.FirDec[c];
        line += (c ? ", " : " ") + Letter(c) + " " + std::to_string(total);
    }
    return line;
}

fs::path FltOutputPath(const fs::path& fltPath, const Workspace& workspace) {
    std::string name = BareFileName(fltPath.string());
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return workspace.Filters() / (name + ".taps");
}

std::string ToolStoppedStatus(bool cancelled, double timeoutSeconds) {
    if (cancelled) return "Работа cmd5016 прервана: ничего не записано";
    return StrPrintf("cmd5016 не завершился за %g с и остановлен: ничего не записано", timeoutSeconds);
}

std::string LabNoteLine(const LabValueNote& n) {
    switch (n.kind) {
        case LabValueNote::Kind::NotWhole:
            return n.key + ": «" + n.text + "» прочитано как " + n.taken + " (текст не целиком число)";
        case LabValueNote::Kind::OutOfRange:
            return n.key + ": «" + n.text + "» прочитано как " + n.taken +
                   (n.min == n.max ? std::string(", а нужно конечное число")
                                   : StrPrintf(", а допустимо от %ld до %ld", n.min, n.max));
        case LabValueNote::Kind::Missing:
            return n.key + ": строки нет, оставлено " + n.taken;
    }
    return {};
}

std::string LabNotesStatus(const std::string& shown, const std::vector<LabValueNote>& notes) {
    if (notes.empty()) return {};
    std::string line = "В " + shown + " " +
                       PluralWord(static_cast<long long>(notes.size()), "прочитано ", "прочитаны ", "прочитаны ") +
                       CountText(static_cast<long long>(notes.size()), "значение", "значения", "значений") +
                       " не так, как записано: " + LabNoteLine(notes.front());
    if (notes.size() > 1) line += "; …";
    return line;
}

std::string ToolFailedStatus(ToolFault fault, const ChipToolOutcome& o, const std::string& shownFile,
                             double timeoutSeconds) {
    const char* const nothing = ": ничего из его вывода не взято, ничего не записано";
    switch (fault) {
        case ToolFault::None:
            break;
        case ToolFault::Stopped:
            return ToolStoppedStatus(o.run == ToolRun::Cancelled, timeoutSeconds);
        case ToolFault::NotFound:
            return "cmd5016 не найден: ничего не записано";
        case ToolFault::StartFailed:
            return "cmd5016 не запустился (" + CauseText(o.error) + "): ничего не записано";
        case ToolFault::Failed:
            if (o.signal != 0) return StrPrintf("cmd5016 убит сигналом %d%s", o.signal, nothing);
            return StrPrintf("cmd5016 завершился с кодом %d%s", o.exitStatus, nothing);
        case ToolFault::NoOutput:
            return "cmd5016 не оставил " + shownFile + nothing;
        case ToolFault::Incomplete:
            return "cmd5016 оставил неполный " + shownFile + nothing;
    }
    return {};
}

std::string CauseText(int code) {
    switch (code) {
        case ENOSPC:
            return "нет места на диске";
        case EDQUOT:
            return "превышена дисковая квота";
        case EACCES:
        case EPERM:
            return "нет прав на запись";
        case EROFS:
            return "файловая система только для чтения";
        case ENAMETOOLONG:
            return "слишком длинное имя";
        case EISDIR:
            return "на этом месте папка";
        case ENOENT:
            return "нет такой папки";
        case ENOTDIR:
            return "часть пути не папка";
        case EIO:
            return "ошибка ввода-вывода";
        case EINVAL:
            return "недопустимое имя";
        default:
            break;
    }
    return ErrnoText(code);
}

std::string CauseText(const TextInspection& t) {
    switch (t.problem) {
        case TextProblem::None:
            return "";
        case TextProblem::Missing:
            return "файла нет";
        case TextProblem::Unreadable:
            return t.code == EACCES || t.code == EPERM ? "нет прав на чтение" : CauseText(t.code);
        case TextProblem::NotAFile:
            return "это не файл";
        case TextProblem::Utf16LE:
            return "файл в кодировке UTF-16LE, нужна UTF-8";
        case TextProblem::Utf16BE:
            return "файл в кодировке UTF-16BE, нужна UTF-8";
        case TextProblem::Binary:
            return "файл не текстовый (нулевые байты)";
    }
    return "";
}

std::string UnchangedText(const std::string& lab, bool labExisted, const std::string& prg, bool prgExisted) {
    if (labExisted && prgExisted) return lab + " и " + prg + " остались прежними";
    if (labExisted || prgExisted)
        return (labExisted ? lab : prg) + " остался прежним, " + (labExisted ? prg : lab) + " не создан";
    return lab + " и " + prg + " не созданы";
}

std::string WithCause(std::string line, const WriteOutcome& failure) {
    if (!failure.ok()) line += " (" + CauseText(failure.code) + ")";
    return line;
}

std::string HistoryStatus(bool undo, bool done) {
    if (undo) return done ? "Изменение отменено" : "Нечего отменять";
    return done ? "Изменение возвращено" : "Нечего возвращать";
}

std::string UnreadableNote(const std::filesystem::path& path) {
    const std::string cause = CauseText(InspectTextFile(path));
    return cause.empty() ? std::string() : " (" + cause + ")";
}

}  // namespace gc
