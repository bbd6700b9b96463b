#pragma once

#include <memory>
#include <vector>

#include "dsp/vxsp_oscillator_wavetable_resizeable.h"

// Oscillator holding several tables of any length and reading one of them; switching keeps
// the frequency. The inherited table, table size and increment per Hz describe the current
// entry. Starts with two silent 4096-sample tables, table 0 selected.
class vxsp_oscillator_wavetable_multi : public vxsp_oscillator_wavetable_resizeable {
public:
    vxsp_oscillator_wavetable_multi();
    vxsp_oscillator_wavetable_multi(const vxsp_oscillator_wavetable_multi& other);
    vxsp_oscillator_wavetable_multi& operator=(const vxsp_oscillator_wavetable_multi& other);
    ~vxsp_oscillator_wavetable_multi() override;

    // Keeps the current entry and the size list in step with the new length.
    void set_table_size(int n) override;
    // Resizes the current entry (new unfilled table of n samples); phase restarts at 0.
    void resize_table(int n) override;
    // Appends a silent table of n samples without selecting it. n < 1 is ignored.
    virtual void add_table(int n);
    // Reads entry index from now on; a phase beyond its length restarts at 0. An index that
    // is not in the list is ignored.
    virtual void select_table(int index);
    virtual int current_table() const { return current_table_index; }
    // Builds a waveform (16 harmonics) into the current entry.
    virtual void build_current_table(int type, float param);

    int get_table_count() const { return static_cast<int>(tables.size()); }

private:
    // Moves a table the base built for itself into the current entry of the list.
    void adopt_owned_table();

    std::vector<std::unique_ptr<float[]>> tables;
    std::vector<int32_t> table_sizes;
    int32_t current_table_index = 0;
};
