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
    threshold_level = static_cast<float>(std::pow(10.0, static_cast<double>(db) / 20.0));
    inverse_threshold_level = static_cast<float>(std::pow(10.0, -static_cast<double>(db) / 20.0));
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

float vxsp_compressor::detector::detect(float level) {
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
    // The detector reads nothing below -100 dB.
    const float detected = envelope < 0.00001f ? 0.00001f : envelope;
    if (detected < threshold_level) {
        gain_reduction = 1.0f;
        return gain_reduction;
    }
    // A hard knee: (1/ratio - 1) dB for each dB over the threshold, which is the detected
    // level over the threshold level to the power 1/ratio - 1: one power, no logarithm.
    gain_reduction = std::pow(detected * inverse_threshold_level, exponent);
    return gain_reduction;
}

float vxsp_compressor::get_gain_reduction_db() const {
    return gain_reduction == 1.0f ? 0.0f : 20.0f * std::log10(gain_reduction);
}

float vxsp_compressor::process(float x) {
    const float v = x * input_gain;
    return detect(std::fabs(v)) * v * output_gain;
}

void vxsp_compressor::detector::stereo(float left, float right, float input_gain, float output_gain,
                                       float* out_left, float* out_right) {
    const float vl = left * input_gain;
    const float vr = right * input_gain;
    const float al = std::fabs(vl);
    const float ar = std::fabs(vr);
    detect(al > ar ? al : ar);
    *out_left = gain_reduction * vl * output_gain;
    *out_right = vr * gain_reduction * output_gain;
}

void vxsp_compressor::process_stereo(float left, float right, float* out_left, float* out_right) {
    detector d = begin_detector();
    d.stereo(left, right, input_gain, output_gain, out_left, out_right);
    end_detector(d);
}

void vxsp_compressor::process_stereo_run(const float* left, const float* right, float* out_left,
                                         float* out_right, int frames, float gain) {
    // A detector at rest fed silence stays at rest and gives silence: a stopped plug-in and
    // the gaps between hits cost a scan for the first sample that is not zero, which then goes
    // through the detector as always.
    int i = 0;
    if (envelope == 0.0f && gain_reduction == 1.0f) {
        while (i < frames && left[i] == 0.0f && right[i] == 0.0f) ++i;
        std::fill_n(out_left, i, 0.0f);
        std::fill_n(out_right, i, 0.0f);
    }
    if (i == frames) return;
    detector d = begin_detector();
    const float in = input_gain;
    const float out = output_gain;
    for (; i < frames; ++i) {
        float l, r;
        d.stereo(left[i], right[i], in, out, &l, &r);
        out_left[i] = l * gain;
        out_right[i] = r * gain;
    }
    end_detector(d);
}
