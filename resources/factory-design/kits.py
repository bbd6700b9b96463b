"""The 24 kits in program order."""

import kits_house
import kits_techno
import kits_hiphop
import kits_electronic

ORDER = [None] * 24
ORDER[0] = kits_house.light_house
ORDER[1] = kits_house.heavy_house
ORDER[2] = kits_techno.minimal
ORDER[3] = kits_techno.heavy_duty
ORDER[4] = kits_electronic.tiny_idm
ORDER[5] = kits_electronic.gritchy_idm
ORDER[6] = kits_techno.mister_clicky
ORDER[7] = kits_hiphop.paid_in_full
ORDER[8] = kits_hiphop.slow_and_low
ORDER[9] = kits_electronic.electrotron
ORDER[10] = kits_hiphop.dig_it
ORDER[11] = kits_hiphop.old_school
ORDER[12] = kits_techno.grinder
ORDER[13] = kits_house.kompressor
ORDER[14] = kits_electronic.oddities
ORDER[15] = kits_techno.super_duty
ORDER[16] = kits_hiphop.heavy_hitter
ORDER[17] = kits_electronic.high_flyer
ORDER[18] = kits_electronic.snappy
ORDER[19] = kits_techno.full_of_techno
ORDER[20] = kits_electronic.rhythm_spitter
ORDER[21] = kits_house.silky_smooth
ORDER[22] = kits_electronic.saturated
ORDER[23] = kits_hiphop.thwacker


def all_kits():
    return [make() if make else None for make in ORDER]
