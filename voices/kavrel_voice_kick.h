#pragma once

#include "dsp/vxsp_distort_exponential.h"
#include "dsp/vxsp_eg_breakpoint_ar.h"
#include "dsp/vxsp_filter_rbj_low_pass.h"
#include "dsp/vxsp_noise_white_fast.h"
#include "dsp/vxsp_oscillator_wavetable_multi.h"
#include "dsp/vxsp_pulsegen.h"
#include "voices/kavrel_voice_pitched.h"

#include <atomic>

// The kick: a swept body (the stored cycle or a sine), saturated, plus a click of a short
// pulse and low-passed noise under its own envelope. The whole hit ends with the amplitude
// envelope; a click that would outlast it is cut. The pitched base's own oscillator is
// re-phased on each hit but never heard.
class kavrel_voice_kick : public kavrel_voice_pitched {
public:
    kavrel_voice_kick();
    ~kavrel_voice_kick() override;

    void set_sample_rate(float hz) override;
    void trigger(float velocity) override;
    bool process_block(float* out, int frames) override;
    bool is_idle() const;
    // Tunes the body.
    void set_tune(float hz) override { body.set_frequency(hz); }
    float get_tune() const { return body.get_frequency(); }
    // Saturation 0..1 (exponent 1..11).
    virtual void set_saturation(float amount) { saturator.set_amount(amount); }
    virtual void set_noise_frequency(float hz) { click_noise_filter.set_frequency(hz); }
    virtual void set_click_length(float ms) { click_pulse.set_length(ms); }
    virtual void set_click_noise_amount(float gain) { noise_amount = gain; }
    virtual void set_click_pulse_amount(float gain) { pulse_amount = gain; }
    virtual void set_click_level(float gain) { click_level = gain; }
    virtual void set_click_attack_time(float ms) { click_env.set_attack_time(ms); }
    virtual void set_click_attack_curve(float c) { click_env.set_attack_curve(c); }
    virtual void set_click_decay_time(float ms) { click_env.set_decay_time(ms); }
    virtual void set_click_decay_curve(float c) { click_env.set_decay_curve(c); }
    // 0 = the stored cycle, 1 = sine. Switches at the next sample; an unknown index keeps the
    // present table.
    virtual void set_waveform(int index);

    int get_waveform() const { return waveform.load(); }

private:
    vxsp_oscillator_wavetable_multi body;
    vxsp_eg_breakpoint_ar click_env;
    vxsp_distort_exponential saturator;
    vxsp_pulsegen click_pulse;
    vxsp_filter_rbj_low_pass click_noise_filter;
    vxsp_noise_white_fast noise;
    float pulse_amount = 1.0f;
    float noise_amount = 0.501187234f; // -6 dB
    // Replaced by "Kickdrum Click Level" before any hit; 0 dB until then.
    float click_level = 1.0f;
    // The table the body should read. The editor and the host set it while the audio thread
    // reads the body, and a switch changes the table and its length together: a reader that
    // saw one without the other would read past the shorter table. So other threads only
    // leave the request here and the next run makes the switch on the audio thread.
    struct requested_table {
        std::atomic<int> index{0};
        requested_table() = default;
        requested_table(const requested_table& other) : index(other.load()) {}
        requested_table& operator=(const requested_table& other) {
            store(other.load());
            return *this;
        }
        int load() const { return index.load(std::memory_order_relaxed); }
        void store(int i) { index.store(i, std::memory_order_relaxed); }
    } waveform;
};
