// compare [--report PATH]: "Comp", the chip tool's table against the work image.
#include <ostream>

#include "batch/batch.h"
#include "chip/compare_report.h"
#include "chip/table_file.h"

namespace gc::batch {
namespace {

int RunCompare(Context& ctx) {
    std::string report = "ErrTbl", error;
    if (!TakeOption(ctx.args, "--report", report, error) && !error.empty()) return UsageError(ctx, error);
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    const char* table = "FILTERS/workcmd.tbl";
    if (!ReadToolTableFile(ctx.session.toolImage, ctx.Path(table)))
        ctx.err << "gc5016-batch: warning: cannot read " << table
                << ", comparing against the tool image's start values\n";
    else
        WarnIfCut(ctx, ctx.Path(table));
    const CompareResult r = WriteCompareReport(ctx.session.workImage, ctx.session.toolImage, ctx.Path(report));
    // The count is known whether or not the report could be written.
    ctx.out << "differences: " << r.differences << "\n";
    if (!r.written) return WriteError(ctx, ctx.Path(report));
    return kExitOk;
}

const bool registered = RegisterCommand({"compare", "[--report PATH]", RunCompare});

}  // namespace
}  // namespace gc::batch
