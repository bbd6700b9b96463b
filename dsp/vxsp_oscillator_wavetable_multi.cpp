#include "dsp/vxsp_oscillator_wavetable_multi.h"

#include <algorithm>

namespace {

std::unique_ptr<float[]> copy_table(const float* values, int n) {
    std::unique_ptr<float[]> t(new float[static_cast<size_t>(n)]);
    std::copy(values, values + n, t.get());
    return t;
}

} // namespace

vxsp_oscillator_wavetable_multi::vxsp_oscillator_wavetable_multi() {
    tables.reserve(2);
    table_sizes.reserve(2);
    add_table(4096);
    add_table(4096);
    select_table(0);
}

vxsp_oscillator_wavetable_multi::vxsp_oscillator_wavetable_multi(
    const vxsp_oscillator_wavetable_multi& other)
    : vxsp_oscillator_wavetable_resizeable(other), table_sizes(other.table_sizes),
      current_table_index(other.current_table_index) {
    tables.reserve(other.tables.size());
    for (size_t i = 0; i < other.tables.size(); ++i)
        tables.push_back(copy_table(other.tables[i].get(), other.table_sizes[i]));
    // A table read from the other oscillator's list must be read from our own copy.
    for (size_t i = 0; i < other.tables.size(); ++i)
        if (other.table == other.tables[i].get()) table = tables[i].get();
}

vxsp_oscillator_wavetable_multi&
vxsp_oscillator_wavetable_multi::operator=(const vxsp_oscillator_wavetable_multi& other) {
    if (this == &other) return *this;
    vxsp_oscillator_wavetable_resizeable::operator=(other);
    std::vector<std::unique_ptr<float[]>> copies;
    copies.reserve(other.tables.size());
    for (size_t i = 0; i < other.tables.size(); ++i)
        copies.push_back(copy_table(other.tables[i].get(), other.table_sizes[i]));
    tables = std::move(copies);
    table_sizes = other.table_sizes;
    current_table_index = other.current_table_index;
    for (size_t i = 0; i < other.tables.size(); ++i)
        if (other.table == other.tables[i].get()) table = tables[i].get();
    return *this;
}

vxsp_oscillator_wavetable_multi::~vxsp_oscillator_wavetable_multi() = default;

void vxsp_oscillator_wavetable_multi::adopt_owned_table() {
    if (!owned_table) return;
    if (current_table_index < 0 || current_table_index >= get_table_count()) return;
    tables[current_table_index] = release_owned_table();
    table_sizes[current_table_index] = table_size;
}

void vxsp_oscillator_wavetable_multi::set_table_size(int n) {
    if (n < 1) return;
    const bool reads_entry = current_table_index >= 0 && current_table_index < get_table_count() &&
                             table == tables[current_table_index].get();
    if (reads_entry) allocate_owned_table(n);
    vxsp_oscillator_wavetable_resizeable::set_table_size(n);
    adopt_owned_table();
}

void vxsp_oscillator_wavetable_multi::resize_table(int n) {
    if (n < 1) return;
    vxsp_oscillator_wavetable_resizeable::resize_table(n);
    adopt_owned_table();
}

void vxsp_oscillator_wavetable_multi::add_table(int n) {
    if (n < 1) return;
    tables.emplace_back(new float[static_cast<size_t>(n)]());
    table_sizes.push_back(n);
}

void vxsp_oscillator_wavetable_multi::select_table(int index) {
    if (index < 0 || index >= get_table_count()) return;
    if (phase >= static_cast<float>(table_sizes[index])) phase = 0.0f;
    const int32_t previous_size = table_size;
    owned_table.reset();
    table = tables[index].get();
    table_size = table_sizes[index];
    table_mask = table_size - 1;
    if (table_size != previous_size) set_frequency(frequency);
    current_table_index = index;
    increment_per_hz = static_cast<float>(table_size) * inverse_sample_rate;
}

void vxsp_oscillator_wavetable_multi::build_current_table(int type, float param) {
    build_waveform(type, param, 16);
    adopt_owned_table();
}
