#pragma once

#include "params/KavrelParams.h"
#include "params/vx_paramManager.h"

#include <array>
#include <vector>

// The product's parameters: all 263 definitions, the index sets the sequencer and editor
// work with, one memento per pattern, and the equal-power pan law.
class KavrelParameterManager : public vx_paramManager {
public:
    static constexpr int kNumParams = kavrel::kNumParams;
    static constexpr int kNumPatternMementos = 16;
    static constexpr int kPanTableSize = 1000;

    KavrelParameterManager();

    // Sound parameters of every voice and the twelve pans: what a pattern may lock per step.
    std::vector<int> kitParamSet;
    // Parameters stored per pattern (step size and the pattern tools), ascending.
    std::vector<int> patternParamSet;
    std::array<float, kPanTableSize> panCosTable;
    std::array<float, kPanTableSize> panSinTable;

    float getDspValue(int index) const override;
    float getDspValueOffset(int index, float x) const override;
    void getDisplay(int index, char* buf, int len) const override;
    // The text of a normalised value of the parameter, whatever value it holds now.
    void getDisplayOf(int index, float normValue, char* buf, int len) const;

    // Mixer voice (0..11) a sound or pan parameter belongs to; -1 for every other index.
    static int voiceOfParam(int index);
    // Membership of patternParamSet without a search, for the audio path.
    static constexpr bool isPatternParam(int index) {
        return index == 108 || (index >= 178 && index <= 225) || (index >= 250 && index <= 261);
    }

private:
    void defineAll();
    void displayOfReal(int index, float realValue, char* buf, int len) const;
};
