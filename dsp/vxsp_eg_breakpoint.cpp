#include "dsp/vxsp_eg_breakpoint.h"

namespace {

// Largest float below 2^31: longer segments are clamped rather than overflowing the count.
constexpr float kMaxSegmentSamples = 2147483520.0f;

} // namespace

vxsp_eg_breakpoint::vxsp_eg_breakpoint() {
    breakpoints.reserve(3);
    add_breakpoint(0.0f, 5.0f);
    add_breakpoint(0.0f, 100.0f);
    start_level = breakpoints.back().level;
}

vxsp_eg_breakpoint::~vxsp_eg_breakpoint() = default;

void vxsp_eg_breakpoint::set_sample_rate(float hz) {
    if (!is_valid_sample_rate(hz)) return;
    vxsp_eg::set_sample_rate(hz);
    for (int i = 0; i < get_breakpoint_count(); ++i) update_breakpoint_samples(i);
}

void vxsp_eg_breakpoint::trigger() {
    start();
    delta = breakpoints[index].level - start_level;
    // The de-click glide (index 0) is always straight.
    k = index >= 1 ? breakpoints[0].curve : 0.0f;
    if (delta > 0.0f) k = -k;
    power_form = k > 0.0f;
    update_shape();
}

int vxsp_eg_breakpoint::add_breakpoint(float level, float time_ms) {
    breakpoints.push_back(breakpoint{level, time_ms, 1, 0.0f});
    const int i = get_breakpoint_count() - 1;
    update_breakpoint_samples(i);
    return i;
}

void vxsp_eg_breakpoint::set_breakpoint_level(int i, float level) {
    if (!valid_index(i)) return;
    breakpoints[i].level = level;
    update_breakpoint_samples(i);
}

void vxsp_eg_breakpoint::set_breakpoint_time(int i, float ms) {
    if (i < 1 || !valid_index(i)) return;
    breakpoints[i].time = ms;
    update_breakpoint_samples(i);
}

void vxsp_eg_breakpoint::set_breakpoint_curve(int i, float curve) {
    if (!valid_index(i)) return;
    breakpoints[i].curve = curve;
}

int vxsp_eg_breakpoint::start() {
    counter = 0;
    if (breakpoints[1].time > 1.0f) {
        // A hit on a sounding envelope with a slow attack would jump back to the rest level;
        // gliding there over five samples removes the click.
        start_level = output;
        index = 0;
        length = 5;
        k = (0.0f - output) / 5.0f;
    } else {
        index = 1;
        start_level = breakpoints[0].level;
        length = breakpoints[1].samples > 0 ? breakpoints[1].samples : 1;
        k = (breakpoints[1].level - breakpoints[0].level) / static_cast<float>(length);
    }
    return length;
}

void vxsp_eg_breakpoint::stop() {
    index = -1;
    start_level = breakpoints.back().level;
}

float vxsp_eg_breakpoint::process_linear() {
    if (index < 0) {
        output = start_level;
        return output;
    }
    output = start_level + static_cast<float>(counter) * k;
    if (++counter < length) return output;
    start_level = breakpoints[index].level;
    ++index;
    if (index >= get_breakpoint_count()) {
        index = -1;
        return output;
    }
    length = breakpoints[index].samples;
    k = (breakpoints[index].level - breakpoints[index - 1].level) / static_cast<float>(length);
    counter = 0;
    return output;
}

void vxsp_eg_breakpoint::update_breakpoint_samples(int i) {
    if (!valid_index(i)) return;
    breakpoint& bp = breakpoints[i];
    const float exact = bp.time * samples_per_ms;
    // Written so that a NaN time also lands on the one-sample minimum.
    if (!(exact >= 1.0f)) {
        bp.samples = 1;
    } else if (exact >= kMaxSegmentSamples) {
        bp.samples = static_cast<int32_t>(kMaxSegmentSamples);
    } else {
        bp.samples = static_cast<int32_t>(exact);
    }
    // The de-click glide runs towards breakpoint 0 with its own fixed length; breakpoint 0's
    // time never sets the length of a walk.
    if (i == index && i >= 1) length = bp.samples;
}

float vxsp_eg_breakpoint::get_breakpoint_level(int i) const {
    return valid_index(i) ? breakpoints[i].level : 0.0f;
}

float vxsp_eg_breakpoint::get_breakpoint_time(int i) const {
    return valid_index(i) ? breakpoints[i].time : 0.0f;
}

int vxsp_eg_breakpoint::get_breakpoint_samples(int i) const {
    return valid_index(i) ? breakpoints[i].samples : 0;
}

float vxsp_eg_breakpoint::get_breakpoint_curve(int i) const {
    return valid_index(i) ? breakpoints[i].curve : 0.0f;
}
