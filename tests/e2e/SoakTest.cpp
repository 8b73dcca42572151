// Many transfers against the simulated register, each with a random fault on the line: every one
// ends done or with its step's error text within its bound, the document and the register agree
// on what went across, and the program neither grows nor keeps descriptors over the run.
#include "Ini.h"
#include "StressCycles.h"
#include "TransferFixture.h"

#include <QElapsedTimer>

#include <fstream>
#include <malloc.h>
#include <random>
#include <set>

// Under AddressSanitizer freed memory waits in a quarantine of up to 256 MB, which would look
// like growth; without it the resident size tells what the program keeps.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=0";
}

namespace {

constexpr int Items = 30;

TRegisterState Prepared() {
    std::string text = "decimals 2\n";
    for (int n = 1; n <= Items; ++n)
        text += "plu " + std::to_string(n) + " barcode=" + std::to_string(99 + n) +
                " price=1.25 dept=2 name=\"REG " + std::to_string(n) + "\"\n";
    for (int d = 1; d <= 8; ++d)
        text += "dept " + std::to_string(d) + " tax=1 price=1.00 name=\"REGDEPT " +
                std::to_string(d) + "\"\n";
    TRegisterState state;
    std::string error;
    EXPECT_TRUE(state.ParseText(text, &error)) << error;
    return state;
}

std::string PluName(const TRegisterState& state, int plu) {
    const auto at = state.plu.find(plu);
    return at == state.plu.end() ? ""
                                 : GetTextField(std::span(at->second).subspan(7, PluNameWidth));
}

std::string DeptName(const TRegisterState& state, int d) {
    const auto at = state.images.find({"dept", 0});
    return at == state.images.end() ? ""
                                    : GetTextField(std::span(at->second).subspan(32 * (d - 1), 18));
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes(); // the sanitizer's runtime
#endif

// Bytes the program holds allocated: what a leak would raise, apart from the allocator's caches.
long HeapBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return long(__sanitizer_get_current_allocated_bytes());
#else
    return long(mallinfo2().uordblks);
#endif
}

// The texts a failed step shows.
std::set<std::string> StepErrors() {
    std::set<std::string> texts{"Connect...Error!", "Check ecr status...Error!",
                                "Disconnect...Error!"};
    for (const char* way : {"Download:", "Upload:"})
        for (const char* kind : {"PLU", "department", "recycling", "parameter"})
            texts.insert(std::string(way) + kind + "...Error!");
    return texts;
}

} // namespace

using Soak = TransferFixture;

TEST_F(Soak, TransfersWithRandomFaultsEndCleanly) {
    SetDecimalSeparator('.');
    const int transfers = StressCycles(30, 500);
    // Until the allocator's caches and Qt's have filled, the resident size grows by itself.
    const int warmUp = std::min(20, transfers / 10);
    const std::set<std::string> stepErrors = StepErrors();
    std::mt19937 random(15);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    long rssBefore = 0;
    long heapBefore = 0;
    int descriptorsBefore = 0;
    int done = 0;
    std::map<std::string, int> failures;

    for (int t = 0; t < transfers; ++t) {
        if (t == warmUp) {
            heapBefore = HeapBytes();
            rssBefore = ResidentKb();
            descriptorsBefore = OpenDescriptors();
        }
        const bool upload = pick(0, 1) == 1;
        KindSet kinds;
        while (kinds.none())
            for (int k = 0; k < 4; ++k)
                kinds.set(size_t(k), pick(0, 1) == 1);
        QStringList flags{"--rate", "0", "--faults-after", QString::number(pick(0, 14))};
        switch (pick(0, 7)) {
        case 0:
            break;
        case 1:
            flags << "--silent" << QString::number(pick(1, 8));
            break;
        case 2:
            flags << "--refuse" << QString::number(pick(1, 8));
            break;
        case 3:
            flags << "--bad-checksum" << QString::number(pick(1, 8));
            break;
        case 4:
            flags << "--noise" << QString::number(pick(1, 40));
            break;
        case 5:
            flags << "--split";
            break;
        case 6:
            flags << "--late" << QString::number(pick(20, 300));
            break;
        default:
            flags << "--hangup-after" << QString::number(pick(0, 16));
            break;
        }
        const std::string trace = std::to_string(t) + (upload ? " upload " : " download ") +
                                  kinds.to_string() + " " + flags.join(' ').toStdString();
        SCOPED_TRACE(trace);

        const std::string mark = "PC " + std::to_string(t);
        for (int r = 1; r <= Items; ++r)
            plu.Table().Cell(r, 2) = mark;
        for (int d = 1; d <= 8; ++d)
            dept.Table().Cell(d, 1) = mark;
        // A loaded machine may take the simulator longer to start than the fixture waits.
        ASSERT_TRUE(Prepared().Save(StatePath()));
        const QStringList simFlags =
            flags + QStringList{"--state", QString::fromStdString(StatePath())};
        bool started = false;
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            started = sim.Start(QPLU_SIM_PATH, LinkPath(), SystemCfgPath(), simFlags);
            if (!started)
                sim.Stop();
        }
        ASSERT_TRUE(started) << "the simulator did not start";
        ProgressWatcher watcher(progress);
        QElapsedTimer elapsed;
        elapsed.start();
        TTransferContext ctx = Context(kinds, 1, Items);
        const TFlowResult result = upload ? RunUpload(ctx) : RunDownload(ctx);
        EXPECT_LT(elapsed.elapsed(), 30000) << "took too long";
        ExpectPortClosed();
        const TRegisterState state = StoppedState();

        if (result == TFlowResult::Done) {
            ++done;
            EXPECT_TRUE(watcher.errorText.empty());
        } else {
            EXPECT_EQ(result, TFlowResult::RegisterFailed);
            EXPECT_TRUE(stepErrors.count(watcher.errorText)) << "error text: " << watcher.errorText;
            ++failures[watcher.errorText];
        }
        EXPECT_TRUE(boxes.empty()) << boxes.front();
        boxes.clear();
        // What went across is whole; a cut transfer leaves each item old or new.
        const bool plus = kinds.test(KindPLU);
        const bool depts = kinds.test(KindDepartment);
        for (int r = 1; r <= Items; ++r) {
            const std::string reg = "REG " + std::to_string(r);
            const std::string pc = plu.Table().Cell(r, 2);
            const std::string there = PluName(state, r);
            if (!plus)
                EXPECT_EQ(there, reg) << "PLU " << r;
            else if (result == TFlowResult::Done)
                EXPECT_EQ(pc, there) << "PLU " << r;
            else
                EXPECT_TRUE(upload ? (pc == mark || pc == reg) : (there == mark || there == reg))
                    << "PLU " << r;
        }
        for (int d = 1; d <= 8; ++d) {
            const std::string there = DeptName(state, d);
            if (depts && result == TFlowResult::Done) {
                EXPECT_EQ(dept.Table().Cell(d, 1), there) << "department " << d;
            }
        }
        if (::testing::Test::HasFailure())
            break;
    }
    std::printf("%d transfers: %d done", transfers, done);
    for (const auto& [text, count] : failures)
        std::printf(", %d %s", count, text.c_str());
    const long grownKb = ResidentKb() - rssBefore;
    std::printf("; after the first %d, resident memory grew by %ld kB, the heap in use by %ld kB, "
                "descriptors %d -> %d\n",
                warmUp, grownKb, (HeapBytes() - heapBefore) / 1024, descriptorsBefore,
                OpenDescriptors());
    if (transfers > warmUp) {
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer's shadow memory and allocator caches grow the resident size by
        // themselves over a long run; the heap in use is what the program keeps.
        EXPECT_LE(HeapBytes() - heapBefore, 5L << 20);
#else
        EXPECT_LE(grownKb, 5 * 1024);
#endif
        EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
    }
}
