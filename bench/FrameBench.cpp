// Frame codec and receiver: the per-frame cost the program adds to every exchange.
#include "TolvIBus.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void BM_EncodeDecodeFrame(benchmark::State& state) {
    uint8_t packet[PacketSize], frame[FrameSize], back[PacketSize];
    std::mt19937 rng(1);
    for (int i = 0; i < PayloadSize; ++i)
        packet[i] = uint8_t(rng());
    SetPacketChecksum(packet);
    for (auto _ : state) {
        EncodeFrame(packet, frame);
        benchmark::DoNotOptimize(DecodeFrame(frame, back));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeDecodeFrame);

void BM_ReceiveFrameInChunks(benchmark::State& state) {
    uint8_t packet[PacketSize]{}, frame[FrameSize];
    packet[0] = 11;
    SetPacketChecksum(packet);
    EncodeFrame(packet, frame);
    const size_t chunk = size_t(state.range(0));
    for (auto _ : state) {
        TAnswerReceiver rx;
        rx.ExpectFrame = true;
        std::copy(frame + 1, frame + 4, rx.ExpectHeader);
        for (size_t at = 0; at < FrameSize; at += chunk)
            rx.Feed(frame + at, std::min(chunk, size_t(FrameSize) - at));
        benchmark::DoNotOptimize(rx.AnswerState);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReceiveFrameInChunks)->Arg(1)->Arg(12)->Arg(301);

} // namespace

BENCHMARK_MAIN();
