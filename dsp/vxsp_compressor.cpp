#include "dsp/vxsp_compressor.h"

#include <algorithm>
#include <cmath>

vxsp_compressor::vxsp_compressor() {
    attack_coefficient = time_coefficient(attack_seconds);
    release_coefficient = time_coefficient(release_seconds);
}

vxsp_compressor::~vxsp_compressor() = default;

float vxsp_compressor::time_coefficient(float seconds) const {
    // A negative time would give a coefficient beyond 1 and a detector that runs away.
    if (!(seconds > 0.0f)) return 1.0f;
    return static_cast<float>(1.0 - std::exp(-1.0 / (static_cast<double>(seconds) * sample_rate)));
}

void vxsp_compressor::set_sample_rate(float hz) {
    if (!is_valid_sample_rate(hz)) return;
    vxsp_dynamics::set_sample_rate(hz);
    attack_coefficient = time_coefficient(attack_seconds);
    release_coefficient = time_coefficient(release_seconds);
}

void vxsp_compressor::set_ratio(float new_ratio) {
    if (new_ratio == ratio) return;
    ratio = new_ratio;
}

void vxsp_compressor::set_threshold(float db) {
    if (db == threshold_db) return;
    threshold_db = db;
    working_threshold_db = db;
    threshold_level = static_cast<float>(std::pow(10.0, static_cast<double>(db) / 20.0));
}

void vxsp_compressor::set_input_gain(float db) {
    if (db == input_gain_db) return;
    input_gain_db = db;
    input_gain = static_cast<float>(std::pow(10.0, static_cast<double>(db / 20.0f)));
}

void vxsp_compressor::set_output_gain(float db) {
    if (db == output_gain_db) return;
    output_gain_db = db;
    output_gain = static_cast<float>(std::pow(10.0, static_cast<double>(db / 20.0f)));
}

void vxsp_compressor::set_attack(float seconds) {
    if (seconds == attack_seconds) return;
    attack_seconds = seconds;
    attack_coefficient = time_coefficient(seconds);
}

void vxsp_compressor::set_release(float seconds) {
    if (seconds == release_seconds) return;
    release_seconds = seconds;
    release_coefficient = time_coefficient(seconds);
}

float vxsp_compressor::detect(float level) {
    envelope = envelope - envelope * release_coefficient;
    // Far below anything the gain computation can tell from silence (-100 dB is 1e-5): let
    // it be silence, rather than decay on into subnormal numbers that cost many times the
    // work of normal ones on some processors.
    if (envelope < 1e-20f) envelope = 0.0f;
    // A non-finite sample (a voice that blew up) must not stick in the detector: infinity
    // would turn the envelope into NaN on the next sample and silence the output for good.
    if (level > envelope && level <= 3.4e38f) {
        envelope = (level - envelope) * attack_coefficient + envelope;
    }
    // Below the threshold the level in dB would only be compared and dropped.
    if (envelope >= 0.00001f && envelope < threshold_level) {
        gain_reduction_db = 0.0f;
        return gain_reduction_db;
    }
    const float level_db = envelope < 0.00001f ? -100.0f : 20.0f * std::log10(envelope);
    gain_reduction_db = level_db < working_threshold_db
                            ? 0.0f
                            : (1.0f / ratio - 1.0f) * (level_db - working_threshold_db);
    return gain_reduction_db;
}

namespace {

// 10^(dB / 20) for a reduction in dB. Below the threshold the reduction is exactly 0 and
// 10^0 is exactly 1, so the usual quiet case costs no power evaluation.
inline float reduction_gain(float reduction_db) {
    return reduction_db == 0.0f ? 1.0f : std::pow(10.0f, reduction_db * 0.05f);
}

} // namespace

float vxsp_compressor::process(float x) {
    const float v = x * input_gain;
    const float reduction = detect(std::fabs(v));
    return reduction_gain(reduction) * v * output_gain;
}

void vxsp_compressor::process_stereo(float left, float right, float* out_left, float* out_right) {
    const float vl = left * input_gain;
    const float vr = right * input_gain;
    const float al = std::fabs(vl);
    const float ar = std::fabs(vr);
    const float reduction = detect(al > ar ? al : ar);
    gain_reduction = reduction_gain(reduction);
    *out_left = gain_reduction * vl * output_gain;
    *out_right = vr * gain_reduction * output_gain;
}

void vxsp_compressor::process_stereo_run(const float* left, const float* right, float* out_left,
                                         float* out_right, int frames, float gain) {
    // A detector at rest fed silence stays at rest and gives silence: a stopped plug-in and
    // the gaps between hits cost a scan for the first sample that is not zero, which then goes
    // through the detector as always.
    int i = 0;
    if (envelope == 0.0f && gain_reduction_db == 0.0f) {
        while (i < frames && left[i] == 0.0f && right[i] == 0.0f) ++i;
        std::fill_n(out_left, i, 0.0f);
        std::fill_n(out_right, i, 0.0f);
    }
    for (; i < frames; ++i) {
        process_stereo(left[i], right[i], &out_left[i], &out_right[i]);
        out_left[i] *= gain;
        out_right[i] *= gain;
    }
}
