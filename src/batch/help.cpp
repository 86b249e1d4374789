#include "batch/help.h"

#include <ostream>

#include "batch/batch.h"
#include "core/model.h"
#include "core/version.h"

namespace gc::batch {

namespace {

struct CommandHelp {
    const char* name;
    const char* summary;  // one line for the command list
    const char* details;  // options, what it does, "Output:" last
};

// One entry per registered command; the tests ask each for its help.
const CommandHelp kCommandHelp[] = {
    {"lab", "what closing the main window does: write the lab file",
     "Keeps the CIC decimations of the current input mode, restores the expert code\n"
     "and writes the settings as a lab file.\n"
     "  --out PATH   the lab file to write (default CONFIGS/std.lab)\n"
     "Output: the lab file.\n"},
    {"tbl", "\"Write *.tbl\": the register image as a register table",
     "Derives the register image and writes it as a register table.\n"
     "  --out PATH   the table to write (default exper.tbl)\n"
     "Output: the table file.\n"},
    {"prg", "\"Write *.prg\": the register program for the board software",
     "Builds the register write list and writes the program file.\n"
     "  --out PATH   the program file to write (default CONFIGS/std.prg)\n"
     "  --tool       first run the chip tool on the command script in FILTERS/ and\n"
     "               print \"page16 mismatches: N\" and \"page17 mismatches: M\"; the\n"
     "               tool's earlier workcmd.gc101 and workcmd.tbl are first renamed\n"
     "               to *.old; a tool that is missing, fails, is killed, leaves\n"
     "               either file out or runs past --tool-timeout writes nothing\n"
     "               (exit status 4)\n"
     "Output: the program file; with --tool also FILTERS/workcmd and the tool's files.\n"},
    {"save", "\"Записать\": decimation checks, then the lab and program files",
     "Checks that the channels' total decimations agree (exit status 3 and the\n"
     "notice on stderr when they do not), then writes the lab file PATH.lab and the\n"
     "program file of the same name beside it (its last extension replaced by .prg).\n"
     "PATH, like every path of a command, is taken from the working folder (-C DIR),\n"
     "not from the shell's folder. Both files are written or neither: a failure leaves\n"
     "both as they were and names the file and the cause (exit status 2), and a file\n"
     "without write permission, or one that cannot be read (UTF-16, binary), is not\n"
     "replaced (exit status 2).\n"
     "  --force      replace such files all the same\n"
     "Output: PATH.lab and PATH.prg.\n"},
    {"workcmd", "\"WriteCmdFile\": the chip tool's command script",
     "Writes the command script for the chip tool.\n"
     "  --tool       also run the chip tool on it in FILTERS/ (its earlier outputs\n"
     "               renamed to *.old first); a missing, failed or stopped tool, or\n"
     "               one that leaves an output out, gives exit status 4\n"
     "Output: FILTERS/workcmd; with --tool also the tool's workcmd.gc101 and workcmd.tbl.\n"},
    {"compare", "\"Comp\": the chip tool's table against the register image",
     "Reads FILTERS/workcmd.tbl (a warning when it is missing), compares it with the\n"
     "register image and prints \"differences: N\".\n"
     "  --report PATH  the report to write (default ErrTbl)\n"
     "Output: the report file, and the count on stdout.\n"},
    {"gc101", "\"gc101->prg\": a gc101 file of the chip tool into a program file",
     "Turns the register writes of FILE into the triple list of a program file whose\n"
     "header comes from the lab file. FILE must be a regular file (exit status 4).\n"
     "Output: CONFIGS/<name>.prg, name being FILE without its folder and last extension.\n"},
    {"decode", "a program file read back into settings and taps",
     "Reads FILE.prg (as \"Записать\", \"Write *.prg\" or \"gc101->prg\" write it) back\n"
     "into the settings the registers determine and the taps each channel runs.\n"
     "A file that is not a program file, or that writes one register twice with\n"
     "different values, is refused (exit status 4).\n"
     "  --save PATH.lab      write the decoded configuration: the taps as\n"
     "                       FILTERS/NAME_A.taps .. NAME_D.taps, then PATH.lab and\n"
     "                       PATH.prg as \"save\" does\n"
     "  --taps-prefix NAME   the taps files' NAME (default decoded)\n"
     "Output: on stdout \"key value\" lines of the settings the file determines\n"
     "(\"CicDec.A 8\"), \"taps.A N\" .. the fitted set's lengths, \"same_bytes_on_save\n"
     "yes\" when saving the decoded configuration writes the file read byte for\n"
     "byte, then one \"note:\" line per setting the file does not carry and per\n"
     "oddity found (unknown or missing registers, header against registers).\n"},
    {"diff", "two configurations (lab or program files) compared",
     "A and B are each a lab file (its coefficient files from FILTERS/) or a program\n"
     "file (.prg, decoded). Settings a program file does not carry, or holds only\n"
     "rounded, are compared through their registers.\n"
     "Output: on stdout \"setting NAME CHANNEL A B\" lines (CHANNEL - for a single\n"
     "setting), then \"field PAGE REG NAME A B\" per register field that differs,\n"
     "then per channel whose chain differs two lines \"chain CHANNEL a|b\" with its\n"
     "figures as \"chain\" prints them; \"equal\" and exit status 0 when nothing\n"
     "differs, exit status 5 when something does.\n"},
    {"response", "the channel's CIC, PFIR and overall responses",
     "Computes the responses of the selected channel on the main plot's 256 points.\n"
     "  --channel A..D  the channel (default the lab file's current channel)\n"
     "  --xstretch N    the horizontal zoom, a power of two from 1 to 4096 (default 1)\n"
     "  --csv           what \"Экспорт…\" of the main plot writes as CSV: a header line,\n"
     "                  then per point the frequency in MHz, the overall response and\n"
     "                  its level in dB below the maximum\n"
     "Output: on stdout, 256 lines \"i cic pfir overall\" (linear values), or the CSV.\n"},
    {"fit", "the channel's PFIR fit and its taps",
     "Prints the fit of the channel's coefficient file as the start-up left it.\n"
     "  --channel A..D  the channel (default the lab file's current channel)\n"
     "Output: on stdout, ntaps, symmetric, even, nblocks, maxtap, sumtap, symtype,\n"
     "pfir_gain and colour, then \"taps\" and one fitted tap per line.\n"},
    {"testfilter", "\"WriteFilter\": ramp or chirp tap sets",
     "Writes the test set of the lab file's filter kind, tap count, deviation and taper\n"
     "as if PATH had been chosen in the save dialog. Parameters that give no usable set\n"
     "are refused (exit status 4) and nothing is written.\n"
     "  --channel A..D  the channel whose output rate a chirp is defined at\n"
     "A bare PATH (a name without a folder) is written into FILTERS/, where the\n"
     "window's dialog starts.\n"
     "Output: ramps PATH and its copy in the Appl folder beside PATH's folder; chirps\n"
     "_I<rest> and _Q<rest> beside PATH and the four sums I, Q, II, QQ on stdout.\n"},
    {"flt2taps", "\"DFDP->Filter\": a filter file into a coefficient file",
     "Converts FILE.flt (line 2 the tap count, 1 to 512, then one tap per line).\n"
     "A file that cannot be read or a count out of range is refused (exit status 4)\n"
     "and nothing is written.\n"
     "Output: FILTERS/<name>.taps, name being FILE without its folder and last extension.\n"},
    {"design", "\"Расчёт PFIR\": a CIC-compensating lowpass at the longest length the chip runs",
     "Designs the channel's PFIR (Parks-McClellan, with a Kaiser-window design as the\n"
     "fall-back) at the longest symmetric length its decimations allow, quantised to\n"
     "16 bits. NAME is a bare file name.\n"
     "  --channel A..D      the channel (default A)\n"
     "  --pass HZ           passband edge\n"
     "  --stop HZ           stopband edge\n"
     "  --ripple DB         passband ripple (default 0.1)\n"
     "  --atten DB          stopband attenuation (default 80)\n"
     "Each option not given takes the channel's request from the lab file; --pass\n"
     "and --stop are needed only while the request leaves its edge to the output rate.\n"
     "  --even              even length (default odd)\n"
     "  --no-compensation   no CIC droop compensation\n"
     "A request that cannot be designed is refused (exit status 4), naming each\n"
     "option, and nothing is written; so is a NAME with nothing before .taps or\n"
     "longer than 255 bytes.\n"
     "Output: FILTERS/NAME.taps; ntaps, passband_ripple_db, stopband_atten_db,\n"
     "method, alias_rejection_db, cic_alias_rejection_db and quantisation_gain_db\n"
     "(what the search over the 16-bit taps added to plain rounding) on stdout, a\n"
     "warning on stderr when the request is not met.\n"},
    {"chain", "the whole chain folded onto the output band: aliasing and passband figures",
     "Folds the channel's CIC and PFIR response (the main plot's H, 1 at DC) onto the\n"
     "output band 0 .. Fout/2, Fout = Fs / (R D): at each output frequency g the wanted\n"
     "W(g) = H(g), the strongest image H(|g + k Fout|) (k != 0, |g + k Fout| <= Fs/2) and\n"
     "the strongest image at a multiple of the CIC output rate (k a multiple of D),\n"
     "which no PFIR can reject.\n"
     "  --channel A..D  the channel (default the lab file's current channel)\n"
     "  --pass HZ       passband edge P, at most Fout/2\n"
     "  --stop HZ       stopband edge S, above P\n"
     "  --ripple DB     passband ripple asked\n"
     "  --atten DB      alias rejection and stopband attenuation asked\n"
     "                  (each not given: the channel's request in the lab file, by\n"
     "                  default P = 0.4 Fout, S = Fout - P, 0.1 dB, 80 dB)\n"
     "  --points N      output-band points, both edges included, 2 to 65536\n"
     "                  (default 4096)\n"
     "  --csv           the curves instead: a header, then per point freq_hz,\n"
     "                  wanted_db, strongest_image_db, strongest_cic_image_db (dB\n"
     "                  relative to W's maximum)\n"
     "Output: on stdout \"key value\" lines: input_rate_hz, cic_decimation,\n"
     "pfir_decimation, output_rate_hz, passband_hz, passband_ripple_db (max - min of W\n"
     "over 0 .. P), alias_rejection_db (the smallest W over the strongest image there),\n"
     "worst_alias_hz and worst_alias_source_hz (where, and the input frequency relative\n"
     "to the NCO that lands there), cic_alias_rejection_db (the same for the CIC alone\n"
     "and its images at multiples of Fs / R), stopband_hz, stopband_atten_db (the\n"
     "smallest attenuation of W over S .. Fout/2 relative to W(0), n/a when S >=\n"
     "Fout/2), worst_stop_hz, request_ripple_db, request_atten_db, ripple_margin_db,\n"
     "alias_margin_db, stopband_margin_db (positive: met with that to spare) and\n"
     "request_met 0 or 1; or the CSV. Each worst point is searched between the grid's.\n"},
    {"splits", "every split of the total decimation between CIC and PFIR, judged by the folded chain",
     "For the channel's total decimation, one row per PFIR decimation 1 .. 8 that\n"
     "divides it and leaves a CIC decimation the input mode runs. Each row designs a\n"
     "PFIR at that split with the request's ripple and attenuation, passband edge P\n"
     "and stopband edge min(S, Fout - P), and judges the folded chain at the request\n"
     "as \"chain\" does.\n"
     "  --channel A..D  the channel (default the lab file's current channel)\n"
     "  --pass HZ       passband edge P, below Fout/2\n"
     "  --stop HZ       stopband edge S, above P\n"
     "  --ripple DB     passband ripple\n"
     "  --atten DB      alias rejection and stopband attenuation\n"
     "                  (each not given: the channel's request, as for chain)\n"
     "Output: on stdout a header, then per row, best first (the rows that meet the\n"
     "request by their smallest margin, then the others by shortfall),\n"
     "pfir_decimation cic_decimation ntaps cic_alias_rejection_db alias_rejection_db\n"
     "passband_ripple_db stopband_atten_db ripple_margin_db alias_margin_db\n"
     "stopband_margin_db request_met (\"-\" where no design was found, \"n/a\" where no\n"
     "stopband is left). Nothing is written.\n"},
    {"plan", "from the channel's request to its split and filter: the best row of splits, set and written",
     "Ranks the splits as \"splits\" does and takes the best row: writes its PFIR to\n"
     "FILTERS/NAME.taps (NAME a bare file name, .taps added as the designer does) and\n"
     "sets the channel's request, CIC and PFIR decimation and coefficient file.\n"
     "  --channel A..D  the channel (default the lab file's current channel)\n"
     "  --pass HZ, --stop HZ, --ripple DB, --atten DB  the request, as for splits\n"
     "  --save PATH.lab then saves the configuration pair as \"save\" does\n"
     "  --force         write the best row even when it does not meet the request\n"
     "When no split meets the request the best row is still printed, nothing is\n"
     "written unless --force, and the exit status is 6.\n"
     "Output: on stdout pfir_decimation, cic_decimation, ntaps, passband_hz,\n"
     "stopband_hz, passband_ripple_db, alias_rejection_db, cic_alias_rejection_db,\n"
     "stopband_atten_db, the three margins and request_met of the row taken, then\n"
     "\"file PATH\" once written; FILTERS/NAME.taps, and with --save the lab file and\n"
     "its program file.\n"},
    {"cicwindow", "the CIC window's redraw",
     "  --channel A..D      the channel (default A)\n"
     "  --stretch S         1, 2, 4 ... 512 (default 1)\n"
     "  --alias             the aliasing view\n"
     "Output: title, fractions, ticks, stretch and marker lines, then the points\n"
     "(\"i value y\") or, in the aliasing view, one \"zone\" line per zone.\n"},
    {"pfirwindow", "the PFIR window's redraw",
     "  --channel A..D      the channel (default A)\n"
     "  --stretch S         1 or 2 (default 1)\n"
     "  --ir                the impulse view\n"
     "Output: title, fractions, ticks, stretch and marker lines and the points\n"
     "(\"i value y\"), or in the impulse view the ticks, levels and one line per tap.\n"},
    {"lengths", "the PFIR window's filter length analysis",
     "  --channel A..D      the channel (default A)\n"
     "Output: one line per label group, key and texts separated by tabs.\n"},
};

const CommandHelp* FindHelp(const std::string& name) {
    for (const CommandHelp& h : kCommandHelp)
        if (name == h.name) return &h;
    return nullptr;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands())
        if (name == c.name) return &c;
    return nullptr;
}

std::string Synopsis(const Command& c) { return std::string(c.name) + (c.usage[0] ? " " : "") + c.usage; }

void WriteCommandList(std::ostream& out) {
    for (const Command& c : Commands()) {
        const CommandHelp* h = FindHelp(c.name);
        out << "  " << Synopsis(c) << "\n";
        if (h) out << "      " << h->summary << "\n";
    }
}

}  // namespace

std::string VersionText() {
    return std::string("gc5016-batch ") + kProjectVersion + " (board model " + std::to_string(kBoardModel) + ", " +
           BoardName(kBoardModel) + ")\n";
}

void WriteUsage(std::ostream& out) {
    out << "usage: gc5016-batch [-C DIR] [--lab PATH] [--lchm] [--tool-timeout S] COMMAND [ARGS]\n"
           "commands:\n";
    for (const Command& c : Commands()) out << "  " << Synopsis(c) << "\n";
    out << "gc5016-batch --help tells more, gc5016-batch help COMMAND about one command.\n";
}

void WriteHelp(std::ostream& out) {
    out << "Usage: gc5016-batch [-C DIR] [--lab PATH] [--lchm] [--tool-timeout S] COMMAND [ARGS]\n"
           "  or:  gc5016-batch help COMMAND\n"
           "Runs the configurator's commands without a window, for scripts and tests.\n"
           "Every command first does what the main window does at start-up in the\n"
           "working folder (CONFIGS/, FILTERS/, Appl/): it reads the lab file, loads and\n"
           "fits the four coefficient files and derives the register image.\n"
           "\n"
           "Options:\n"
           "  -C DIR       the working folder (default the current folder)\n"
           "  --lab PATH   the lab file read at start-up (default CONFIGS/std.lab; the\n"
           "               defaults stand in when that one is missing, a file named\n"
           "               here must exist)\n"
           "  --lchm       use the lab file's shiftFir as the PFIR output shift, as the\n"
           "               window does while \"ЛЧМ\" is checked\n"
           "  --tool-timeout S  stop the chip tool (and what it started) after S seconds\n"
           "               (0.1 to 86400, default 60, 0 for no limit)\n"
           "Paths named on the command line are taken from the working folder.\n"
           "  -h, --help   this text; COMMAND --help or help COMMAND for one command\n"
           "  --version    the version and the board model\n"
           "\n"
           "Commands:\n";
    WriteCommandList(out);
    out << "\n"
           "Exit status:\n"
           "  0  done (warnings that change nothing, such as a missing coefficient file\n"
           "     at start-up, keep 0)\n"
           "  1  bad usage\n"
           "  2  an output file could not be written\n"
           "  3  \"Записать\" refused by the decimation checks\n"
           "  4  the input or the request was refused, or the chip tool was missing,\n"
           "     failed or was stopped at its time limit; nothing was written\n"
           "  5  diff: the two configurations differ\n"
           "  6  plan: no split meets the request (the best row is shown)\n";
}

bool WriteCommandHelp(std::ostream& out, const std::string& name) {
    const Command* c = FindCommand(name);
    if (!c) return false;
    out << "Usage: gc5016-batch [-C DIR] [--lab PATH] [--lchm] [--tool-timeout S] " << Synopsis(*c) << "\n";
    if (const CommandHelp* h = FindHelp(name)) out << h->details;
    return true;
}

bool HandleInfoRequest(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err, int& status) {
    size_t i = 0;
    while (i < argv.size()) {
        if (argv[i] == "-C" || argv[i] == "--lab" || argv[i] == "--tool-timeout") {
            if (i + 1 >= argv.size()) return false;  // the usage error is the start-up's to give
            i += 2;
        } else if (argv[i] == "--lchm") {
            ++i;
        } else {
            break;
        }
    }
    if (i >= argv.size()) return false;
    const std::string& word = argv[i];
    status = kExitOk;
    if (word == "--help" || word == "-h") {
        WriteHelp(out);
        return true;
    }
    if (word == "--version") {
        out << VersionText();
        return true;
    }
    if (word == "help") {
        if (i + 1 >= argv.size()) {
            WriteHelp(out);
        } else if (!WriteCommandHelp(out, argv[i + 1])) {
            err << "gc5016-batch: unknown command '" << argv[i + 1] << "'\n";
            WriteUsage(err);
            status = kExitUsage;
        }
        return true;
    }
    if (!FindCommand(word)) return false;
    for (size_t k = i + 1; k < argv.size(); ++k) {
        if (argv[k] == "--help" || argv[k] == "-h") {
            WriteCommandHelp(out, word);
            return true;
        }
    }
    return false;
}

}  // namespace gc::batch
