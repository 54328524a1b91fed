#include "validatedproperty.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QRegularExpressionValidator>

#include <benchmark/benchmark.h>

// Field text in and out per second, for the three field kinds as the sentence catalogue uses them.

static void BM_IntFieldSetText(benchmark::State &state)
{
    ValidatedIntProperty field(nullptr, new QIntValidator(0, 1023), 4);
    const QString texts[] = {QStringLiteral("0012"), QStringLiteral("1023"), QStringLiteral("0999")};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(field.setFieldText(texts[i++ % 3]));
        benchmark::DoNotOptimize(field.fieldText());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IntFieldSetText);

static void BM_FloatFieldSetText(benchmark::State &state)
{
    auto *validator = new QDoubleValidator(0, 1000, 1000);
    validator->setNotation(QDoubleValidator::StandardNotation);
    ValidatedFloatProperty field(nullptr, validator, 0, 0, true, 10, 4, 2, 3);
    const QString texts[] = {QStringLiteral("4807.038"), QStringLiteral("0012.50"),
                             QStringLiteral("0999.125")};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(field.setFieldText(texts[i++ % 3]));
        benchmark::DoNotOptimize(field.fieldText());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FloatFieldSetText);

static void BM_FloatFieldNoValidator(benchmark::State &state)
{
    ValidatedFloatProperty field;
    const QString texts[] = {QStringLiteral("12.3"), QStringLiteral("0.5"), QStringLiteral("359.9")};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(field.setFieldText(texts[i++ % 3]));
        benchmark::DoNotOptimize(field.fieldText());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FloatFieldNoValidator);

static void BM_StringFieldRegex(benchmark::State &state)
{
    ValidatedStringProperty field(
        nullptr,
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ADEFMNPRS]{1,1}"))), 1);
    const QString texts[] = {QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("S")};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(field.setFieldText(texts[i++ % 3]));
        benchmark::DoNotOptimize(field.fieldText());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StringFieldRegex);

BENCHMARK_MAIN();
