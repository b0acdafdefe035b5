#include "data/AlgorithmTable.h"

#include <iterator>

#include "data/NameTables.h"

AlgorithmEntry AlgorithmTable[kAlgorithmRowCount];

namespace {

struct AlgorithmRow {
    const char* displayName;
    LONG voiceIndex;
    const char* algorithmId;
    LONG category23, category20, recommendCategory;
    int drumSet;  // index into DrumNoteSets
    LONG iconOff, iconOn;
};

// Row 73's name ends in a blank, as the keyboard shows it.
const AlgorithmRow kRows[kAlgorithmRowCount] = {
    {"NylonGuitar(Hot)", 0, "01", 0, 0, 0, 0, 0, 1},  // 0
    {"NylonGuitar(Smooth)", 0, "01_1", 0, 0, 0, 0, 0, 1},  // 1
    {"FlamencoGuitar", 34, "01_2", 0, 0, -1, 0, 0, 1},  // 2
    {"SpanishMedium", 35, "01_3", 0, 0, -1, 0, 0, 1},  // 3
    {"SpanishHard", 36, "01_4", 0, 0, -1, 0, 0, 1},  // 4
    {"SteelGuitar", 1, "02", 1, 1, -1, 0, 2, 3},  // 5
    {"SteelAcousticPick", 37, "02_1", 1, 1, -1, 0, 2, 3},  // 6
    {"SteelAcousticSlap", 38, "02_2", 1, 1, -1, 0, 2, 3},  // 7
    {"SteelGuitarTwin1", 39, "02_3", 1, 1, -1, 0, 2, 3},  // 8
    {"SteelGuitarTwin2", 40, "02_4", 1, 1, -1, 0, 2, 3},  // 9
    {"12StringPickTwin1", 41, "02_3", 1, 1, -1, 0, 2, 3},  // 10
    {"12StringPickTwin2", 42, "02_4", 1, 1, -1, 0, 2, 3},  // 11
    {"12StringGuitar", 3, "03", 2, 2, -1, 0, 4, 5},  // 12
    {"CleanGuitar", 4, "04", 3, 3, -1, 0, 6, 7},  // 13
    {"SolidGuitar1", 5, "04_1", 3, 3, -1, 0, 8, 9},  // 14
    {"SolidGuitar2", 6, "04_2", 3, 3, -1, 0, 10, 11},  // 15
    {"SingleCoilGuitar", 19, "04_3", 3, 3, -1, 0, 12, 13},  // 16
    {"50sVintageFinger", 24, "04_4", 3, 3, -1, 0, 14, 15},  // 17
    {"50sVintageFingerSlap", 25, "04_4", 3, 3, -1, 0, 14, 15},  // 18
    {"50sVintagePick", 26, "04_6", 3, 3, -1, 0, 22, 23},  // 19
    {"50sVintageSlap", 27, "04_6", 3, 3, -1, 0, 22, 23},  // 20
    {"SlapAmpGuitar", 28, "04_6", 3, 3, -1, 0, 22, 23},  // 21
    {"OverdriveGuitar", 7, "05", 4, 4, -1, 0, 24, 25},  // 22
    {"DistortionGuitar", 8, "05", 5, 4, -1, 0, 26, 27},  // 23
    {"JazzGuitar", 20, "07", 6, 5, -1, 0, 28, 29},  // 24
    {"AcousticBass", 9, "17", 9, 6, -1, 0, 32, 33},  // 25
    {"ElectricBass(Normal)", 10, "18", 10, 7, -1, 0, 34, 35},  // 26
    {"ElectricBass(Slap)", 11, "18_1", 10, 7, -1, 0, 34, 35},  // 27
    {"VintageRound", 21, "18_2", 10, 7, -1, 0, 36, 37},  // 28
    {"VintageFlat", 22, "18_3", 10, 7, -1, 0, 38, 39},  // 29
    {"PickBass", 12, "19", 11, 8, -1, 0, 40, 41},  // 30
    {"VintagePick", 23, "19_1", 11, 8, -1, 0, 42, 43},  // 31
    {"FretlessBass", 13, "20", 12, 9, -1, 0, 44, 45},  // 32
    {"SmallStrings(Legato)", 14, "49_1", 13, 10, 2, 0, 46, 47},  // 33
    {"SmallStrings(Active)", 14, "49_0_2", 13, 10, 2, 0, 46, 47},  // 34
    {"SmallStrings(Pop)", 14, "49_2", 13, 10, 2, 0, 46, 47},  // 35
    {"LargeStrings(Legato)", 15, "50_1", 13, 10, 2, 0, 48, 49},  // 36
    {"LargeStrings(Active)", 15, "50_0_2", 13, 10, 2, 0, 48, 49},  // 37
    {"LargeStrings(Pop)", 15, "50_2", 13, 10, 2, 0, 48, 49},  // 38
    {"ClassicalStrings(Legato)", 29, "49_1_1", 13, 10, 2, 0, 46, 47},  // 39
    {"ClassicalStrings(Active)", 29, "49_1_2", 13, 10, 2, 0, 46, 47},  // 40
    {"ClassicalStrings(Pop)", 29, "49_1_3", 13, 10, 2, 0, 46, 47},  // 41
    {"SeattleStrings(Legato)", 30, "49_1_1", 13, 10, 2, 0, 48, 49},  // 42
    {"SeattleStrings(Active)", 30, "49_1_2", 13, 10, 2, 0, 48, 49},  // 43
    {"SeattleStrings(Pop)", 30, "49_1_3", 13, 10, 2, 0, 48, 49},  // 44
    {"Brass(Smooth)", 16, "57", 15, 12, 3, 0, 54, 55},  // 45
    {"Brass(Hot)", 16, "57_1", 15, 12, 3, 0, 54, 55},  // 46
    {"PopHorns1(Smooth)", 43, "57_2_1", 15, 12, 3, 0, 54, 55},  // 47
    {"PopHorns1(Hot)", 43, "57_2", 15, 12, 3, 0, 54, 55},  // 48
    {"PopHorns2(Smooth)", 44, "57_3_1", 15, 12, 3, 0, 54, 55},  // 49
    {"PopHorns2(Hot)", 44, "57_3", 15, 12, 3, 0, 54, 55},  // 50
    {"Trumpet", 17, "65", 16, 13, -1, 0, 56, 57},  // 51
    {"TenorSax(Smooth)", 18, "83_1", 17, 14, 4, 0, 58, 59},  // 52
    {"TenorSax(Hot)", 18, "83_2", 17, 14, 4, 0, 58, 59},  // 53
    {"GospelChoir(Multi)", 31, "55_1", 14, 11, 5, 0, 60, 61},  // 54
    {"GospelChoir(Adlib)", 31, "55_2", 14, 11, 5, 0, 60, 61},  // 55
    {"GospelChoir(Hmm)", 31, "55_3", 14, 11, 5, 0, 60, 61},  // 56
    {"GospelChoir(Wow)", 31, "55_4", 14, 11, 5, 0, 60, 61},  // 57
    {"GospelChoir(Hee)", 31, "55_5", 14, 11, 5, 0, 60, 61},  // 58
    {"GospelChoir(Aaa)", 31, "55_6", 14, 11, 5, 0, 60, 61},  // 59
    {"Girls/DaBaDoBe", 33, "L96_01", 18, 15, 5, 0, 62, 63},  // 60
    {"Girls/ShooBeeDooBah", 33, "L96_02", 18, 15, 5, 0, 62, 63},  // 61
    {"Girls/DoBeDoBe", 33, "L96_03", 18, 15, 5, 0, 62, 63},  // 62
    {"Girls/YaBaDaBa", 33, "L96_04", 18, 15, 5, 0, 62, 63},  // 63
    {"Girls/DoWeYoBe", 33, "L96_05", 18, 15, 5, 0, 62, 63},  // 64
    {"Girls/ShooBaDooBa", 33, "L96_06", 18, 15, 5, 0, 62, 63},  // 65
    {"Boys/DaBaDoBe", 33, "L96_07", 18, 15, 5, 0, 64, 65},  // 66
    {"Boys/ShooBeeDooBah", 33, "L96_08", 18, 15, 5, 0, 64, 65},  // 67
    {"Boys/DoBeDoBe", 33, "L96_09", 18, 15, 5, 0, 64, 65},  // 68
    {"Boys/YaBaDaBa", 33, "L96_10", 18, 15, 5, 0, 64, 65},  // 69
    {"Boys/DoWeYoBe", 33, "L96_11", 18, 15, 5, 0, 64, 65},  // 70
    {"Boys/ShooBaDooBa", 33, "L96_12", 18, 15, 5, 0, 64, 65},  // 71
    {"Mandolin", 45, "8_4_13", 7, 5, -1, 0, 30, 31},  // 72
    {"UkleleThumbDown ", 46, "8_0_14", 8, 5, -1, 0, 0, 1},  // 73
    {"D-FolkGuitar", 47, "8_10_2", 1, 1, -1, 0, 2, 3},  // 74
    {"SteelAcousticFinger", 48, "8_11_2", 1, 1, -1, 0, 2, 3},  // 75
    {"SteelAcThumbPick", 49, "8_11_2", 1, 1, -1, 0, 2, 3},  // 76
    {"ActiveBassFingHarm", 50, "8_4_18", 10, 7, -1, 0, 34, 35},  // 77
    {"ActiveBassFingSlap", 51, "8_5_18", 10, 7, -1, 0, 34, 35},  // 78
    {"ActiveBassPick", 52, "8_3_19", 11, 8, -1, 0, 40, 41},  // 79
    {"ActiveBassPickOpen", 53, "8_4_19", 11, 8, -1, 0, 40, 41},  // 80
    {"ActiveBassPickMute", 54, "8_5_19", 11, 8, -1, 0, 40, 41},  // 81
    {"ActiveBassFingHmrOn(Normal)", 55, "8_3_18", 10, 7, 6, 0, 34, 35},  // 82
    {"ActiveBassFingHmrOn(Mute)", 55, "8_3_18_1", 10, 7, 6, 0, 34, 35},  // 83
    {"ActiveBassPickHmrOn(Normal)", 56, "8_2_19", 11, 8, 7, 0, 40, 41},  // 84
    {"ActiveBassPickHmrOn(Mute)", 56, "8_2_19_1", 11, 8, 7, 0, 40, 41},  // 85
    {"ActiveBassSlap", 57, "8_0_21", 10, 7, -1, 0, 34, 35},  // 86
    {"D&HardFolkTwin1", 58, "8_13_2", 1, 1, -1, 0, 2, 3},  // 87
    {"D&WarmFolkTwin1", 59, "8_13_2", 1, 1, -1, 0, 2, 3},  // 88
    {"D&HardFolkTwin2", 60, "8_13_2", 1, 1, -1, 0, 2, 3},  // 89
    {"D&WarmFolkTwin2", 61, "8_13_2", 1, 1, -1, 0, 2, 3},  // 90
    {"KinoSmall(Legato)", 62, "8_2_50_1", 13, 10, 2, 0, 48, 49},  // 91
    {"KinoSmall(Active)", 62, "8_2_50_2", 13, 10, 2, 0, 48, 49},  // 92
    {"KinoSmall(Pop)", 62, "8_2_50_3", 13, 10, 2, 0, 48, 49},  // 93
    {"KinoSmallComp(Legato)", 63, "8_2_50_1", 13, 10, 2, 0, 48, 49},  // 94
    {"KinoSmallComp(Active)", 63, "8_2_50_2", 13, 10, 2, 0, 48, 49},  // 95
    {"KinoSmallComp(Pop)", 63, "8_2_50_3", 13, 10, 2, 0, 48, 49},  // 96
    {"KinoLarge(Legato)", 64, "8_2_50_1", 13, 10, 2, 0, 48, 49},  // 97
    {"KinoLarge(Active)", 64, "8_2_50_2", 13, 10, 2, 0, 48, 49},  // 98
    {"KinoLarge(Pop)", 64, "8_2_50_3", 13, 10, 2, 0, 48, 49},  // 99
    {"KinoLargeComp(Legato)", 65, "8_2_50_1", 13, 10, 2, 0, 48, 49},  // 100
    {"KinoLargeComp(Active)", 65, "8_2_50_2", 13, 10, 2, 0, 48, 49},  // 101
    {"KinoLargeComp(Pop)", 65, "8_2_50_3", 13, 10, 2, 0, 48, 49},  // 102
    {"KinoSmallCompOctCb(Legato)", 66, "8_4_50_1", 13, 10, 2, 0, 48, 49},  // 103
    {"KinoSmallCompOctCb(Active)", 66, "8_4_50_2", 13, 10, 2, 0, 48, 49},  // 104
    {"KinoSmallCompOctCb(Pop)", 66, "8_4_50_3", 13, 10, 2, 0, 48, 49},  // 105
    {"KinoLargeOctCb(Legato)", 67, "8_4_50_1", 13, 10, 2, 0, 48, 49},  // 106
    {"KinoLargeOctCb(Active)", 67, "8_4_50_2", 13, 10, 2, 0, 48, 49},  // 107
    {"KinoLargeOctCb(Pop)", 67, "8_4_50_3", 13, 10, 2, 0, 48, 49},  // 108
    {"KinoLargeAmbiOctCb(Legato)", 68, "8_4_50_1", 13, 10, 2, 0, 48, 49},  // 109
    {"KinoLargeAmbiOctCb(Active)", 68, "8_4_50_2", 13, 10, 2, 0, 48, 49},  // 110
    {"KinoLargeAmbiOctCb(Pop)", 68, "8_4_50_3", 13, 10, 2, 0, 48, 49},  // 111
    {"KinoSmallAmbi(Legato)", 69, "8_2_50_1", 13, 10, 2, 0, 48, 49},  // 112
    {"KinoSmallAmbi(Active)", 69, "8_2_50_2", 13, 10, 2, 0, 48, 49},  // 113
    {"KinoSmallAmbi(Pop)", 69, "8_2_50_3", 13, 10, 2, 0, 48, 49},  // 114
    {"KinoLargeAmbi(Legato)", 70, "8_2_50_1", 13, 10, 2, 0, 48, 49},  // 115
    {"KinoLargeAmbi(Active)", 70, "8_2_50_2", 13, 10, 2, 0, 48, 49},  // 116
    {"KinoLargeAmbi(Pop)", 70, "8_2_50_3", 13, 10, 2, 0, 48, 49},  // 117
    {"60sVintage", 71, "8_10_4", 3, 3, -1, 0, 8, 9},  // 118
    {"60sVintageSlap", 72, "8_10_4", 3, 3, -1, 0, 8, 9},  // 119
    {"RockDrumKit(FullOpen)", 73, "127_08_18_5", 19, 16, 8, 1, 66, 67},  // 120
    {"RockDrumKit(Open)", 73, "127_08_18_4", 19, 16, 8, 1, 66, 67},  // 121
    {"RockDrumKit(HalfOpen)", 73, "127_08_18_1", 19, 16, 8, 1, 66, 67},  // 122
    {"RockDrumKit(Close)", 73, "127_08_18_2", 19, 16, 8, 1, 66, 67},  // 123
    {"RockDrumKit(TightClose)", 73, "127_08_18_3", 19, 16, 8, 1, 66, 67},  // 124
    {"RockDrumKit(ChangePC)", 73, "Empty", 19, 16, 8, 0, 66, 67},  // 125
    {"PopDrumKit(FullOpen)", 74, "127_08_18_5", 19, 16, 8, 1, 66, 67},  // 126
    {"PopDrumKit(Open)", 74, "127_08_18_4", 19, 16, 8, 1, 66, 67},  // 127
    {"PopDrumKit(HalfOpen)", 74, "127_08_18_1", 19, 16, 8, 1, 66, 67},  // 128
    {"PopDrumKit(Close)", 74, "127_08_18_2", 19, 16, 8, 1, 66, 67},  // 129
    {"PopDrumKit(TightClose)", 74, "127_08_18_3", 19, 16, 8, 1, 66, 67},  // 130
    {"PopDrumKit(ChangePC)", 74, "Empty", 19, 16, 8, 0, 66, 67},  // 131
    {"VintageOpenKit(FullOpen)", 75, "127_08_18_5", 19, 16, 8, 1, 66, 67},  // 132
    {"VintageOpenKit(Open)", 75, "127_08_18_4", 19, 16, 8, 1, 66, 67},  // 133
    {"VintageOpenKit(HalfOpen)", 75, "127_08_18_1", 19, 16, 8, 1, 66, 67},  // 134
    {"VintageOpenKit(Close)", 75, "127_08_18_2", 19, 16, 8, 1, 66, 67},  // 135
    {"VintageOpenKit(TightClose)", 75, "127_08_18_3", 19, 16, 8, 1, 66, 67},  // 136
    {"VintageOpenKit(ChangePC)", 75, "Empty", 19, 16, 8, 0, 66, 67},  // 137
    {"VintageMutedKit(FullOpen)", 76, "127_08_18_5", 19, 16, 8, 1, 66, 67},  // 138
    {"VintageMutedKit(Open)", 76, "127_08_18_4", 19, 16, 8, 1, 66, 67},  // 139
    {"VintageMutedKit(HalfOpen)", 76, "127_08_18_1", 19, 16, 8, 1, 66, 67},  // 140
    {"VintageMutedKit(Close)", 76, "127_08_18_2", 19, 16, 8, 1, 66, 67},  // 141
    {"VintageMutedKit(TightClose)", 76, "127_08_18_3", 19, 16, 8, 1, 66, 67},  // 142
    {"VintageMutedKit(ChangePC)", 76, "Empty", 19, 16, 8, 0, 66, 67},  // 143
    {"JazzBrushCmp(fromBrushKit)", 77, "127_08_76_1", 20, 17, -1, 4, 66, 67},  // 144
    {"JazzBrushCmp(fromRealBrush)", 78, "127_08_76_2", 20, 17, -1, 3, 66, 67},  // 145
    {"JazzBrushCmp(ChangePC)", 79, "Empty", 20, 17, -1, 0, 66, 67},  // 146
    {"JazzBrushExpd.(FullOpen)", 80, "127_08_77_5", 21, 18, 9, 2, 66, 67},  // 147
    {"JazzBrushExpd.(Open)", 80, "127_08_77_4", 21, 18, 9, 2, 66, 67},  // 148
    {"JazzBrushExpd.(HalfOpen)", 80, "127_08_77_1", 21, 18, 9, 2, 66, 67},  // 149
    {"JazzBrushExpd.(Close)", 80, "127_08_77_2", 21, 18, 9, 2, 66, 67},  // 150
    {"JazzBrushExpd.(TightClose)", 80, "127_08_77_3", 21, 18, 9, 2, 66, 67},  // 151
    {"JazzBrushExpd.(ChangePC)", 80, "Empty", 21, 18, 9, 0, 66, 67},  // 152
    {"JazzStickKit(ChangePC)", 81, "Empty", 22, 19, -1, 0, 66, 67},  // 153
    {"ClassicNylonOpen", 82, "08_06_01", 0, 0, -1, 0, 0, 1},  // 154
    {"ClassicNylonNeck", 83, "08_07_01", 0, 0, -1, 0, 0, 1},  // 155
    {"ClNylonTirandoOpen", 84, "08_00_09", 0, 0, -1, 0, 0, 1},  // 156
    {"ClNylonTirandoNeck", 85, "08_01_09", 0, 0, -1, 0, 0, 1},  // 157
    {"AcJazzOpenExtended2", 86, "08_00_15", 9, 6, -1, 0, 32, 33},  // 158
    {"AcJazzOpenExtended", 87, "08_00_16", 9, 6, -1, 0, 32, 33},  // 159
    {"MonoUprightBass", 88, "08_02_17", 9, 6, -1, 0, 32, 33},  // 160
    {"RBillyBassFingerOpen", 89, "08_03_17", 9, 6, -1, 0, 32, 33},  // 161
    {"RBillyBassSlap", 90, "08_04_17", 9, 6, -1, 0, 32, 33},  // 162
    {"AcJazzMuteCompatible", 91, "08_05_17", 9, 6, -1, 0, 32, 33},  // 163
    {"AcJazzOpenCompatible", 92, "08_06_17", 9, 6, -1, 0, 32, 33},  // 164
    {"RBillyBassFingerSlap", 93, "08_00_24", 9, 6, -1, 0, 32, 33},  // 165
    {"ElecJazzFingerMute", 94, "08_06_18", 10, 7, -1, 0, 34, 35},  // 166
    {"ElJazzSlapCompatible", 95, "08_09_18", 10, 7, -1, 0, 34, 35},  // 167
    {"ElJazzFingerOpenMute(Normal)", 96, "08_12_18", 10, 7, -1, 0, 34, 35},  // 168
    {"ElJazzFingerOpenMute(Mute)", 96, "08_12_18_2", 10, 7, -1, 0, 34, 35},  // 169
    {"ElJazzFingerOpenHarm", 97, "08_13_18", 10, 7, -1, 0, 34, 35},  // 170
    {"ElJazzFingerOpenSlap(Normal)", 98, "08_14_18", 10, 7, -1, 0, 34, 35},  // 171
    {"ElJazzFingerOpenSlap(Slap)", 98, "08_14_18_2", 10, 7, -1, 0, 34, 35},  // 172
    {"ElJazzFingerMuteHammer", 99, "08_00_22", 10, 7, -1, 0, 34, 35},  // 173
    {"ElJazzFingerOpenHammer", 100, "08_02_22", 10, 7, -1, 0, 34, 35},  // 174
    {"ElecJazzSlapFull", 101, "08_00_23", 10, 7, -1, 0, 34, 35},  // 175
    {"ElecJazzPickMute", 102, "08_07_18", 11, 8, -1, 0, 40, 41},  // 176
    {"ElecJazzPickOpen", 103, "08_08_18", 11, 8, -1, 0, 40, 41},  // 177
    {"ViolinBassPickMute", 104, "08_10_18", 11, 8, -1, 0, 40, 41},  // 178
    {"ViolinBassPickOpen", 105, "08_11_18", 11, 8, -1, 0, 40, 41},  // 179
    {"ElJazzPickOpenMute", 106, "08_06_19", 11, 8, -1, 0, 40, 41},  // 180
    {"VLBassPickOpenMute", 107, "08_07_19", 11, 8, -1, 0, 40, 41},  // 181
    {"ElJazzPickMuteHammer", 108, "08_04_22", 11, 8, -1, 0, 40, 41},  // 182
    {"ElJazzPickOpenHammer", 109, "08_06_22", 11, 8, -1, 0, 40, 41},  // 183
    {"VlBassPickMuteHammer", 110, "08_08_22", 11, 8, -1, 0, 40, 41},  // 184
    {"VLBassPickOpenHammer", 111, "08_10_22", 11, 8, -1, 0, 40, 41},  // 185
    {"SectionHornsLive", 112, "08_00_56", 15, 12, 3, 0, 54, 55},  // 186
    {"SectionHornsDyn", 113, "08_01_56", 15, 12, 3, 0, 54, 55},  // 187
    {"SectionHorns1", 114, "08_03_57", 15, 12, 3, 0, 54, 55},  // 188
    {"SectionHorns2", 115, "08_04_57", 15, 12, 3, 0, 54, 55},  // 189
    {"Other Normal Voices", 117, "OtherNormal", -1, -1, -1, 0, 66, 67},  // 190
    {"Other Drum Kits", 117, "OtherDrum", -1, -1, -1, 0, 0, 1},  // 191
};

const OlderDisplayName kOlderNames[] = {
    {6, "SteelAcoustic", false},
    {7, "SteelAcGtrSlap", false},
    {8, "SteelGtrTwin1", false},
    {9, "SteelGtrTwin2", false},
    {10, "12StringTwin1", false},
    {11, "12StringTwin2", false},
    {12, "12StringGtr", false},
    {16, "SingleCoil", false},
    {17, "FingerGtr", false},
    {18, "FingerSlapGtr", false},
    {19, "VintagePickGtr", false},
    {20, "VintageSlapGtr", false},
    {21, "SlapAmpGtr", false},
    {22, "OverdriveGtr", false},
    {23, "DistortionGtr", false},
    {39, "ClassicalStr(Legato)", false},
    {40, "ClassicalStr(Active)", false},
    {41, "ClassicalStr(Pop)", false},
    {42, "RealStr(Legato)", false},
    {43, "RealStr(Active)", false},
    {44, "RealStr(Pop)", false},
    {26, "FingerBass(Normal)", true},
    {27, "FingerBass(Slap)", true},
};

const char* const kInstIcons[] = {
    "Icon_NylonGtr_off.bmp", "Icon_NylonGtr_on.bmp",  // 0/1
    "SteelGOff.bmp", "SteelGOn.bmp",  // 2/3
    "12StringOff.bmp", "12StringOn.bmp",  // 4/5
    "CleanGOff.bmp", "CleanGOn.bmp",  // 6/7
    "Icon_CleanGtr-A_off.bmp", "Icon_CleanGtr-A_on.bmp",  // 8/9
    "Icon_CleanGtr-B_off.bmp", "Icon_CleanGtr-B_on.bmp",  // 10/11
    "StratOff.bmp", "StratOn.bmp",  // 12/13
    "Tele1Off.bmp", "Tele1On.bmp",  // 14/15
    "Tele1Off.bmp", "Tele1On.bmp",  // 16/17
    "Tele2Off.bmp", "Tele2On.bmp",  // 18/19
    "Tele2Off.bmp", "Tele2On.bmp",  // 20/21
    "Tele2Off.bmp", "Tele2On.bmp",  // 22/23
    "OrverDOff.bmp", "OrverDOn.bmp",  // 24/25
    "DistortionOff.bmp", "DistortionOn.bmp",  // 26/27
    "JazzGOff.bmp", "JazzGOn.bmp",  // 28/29
    "Icon_EthnicGtr_off.bmp", "Icon_EthnicGtr_on.bmp",  // 30/31
    "AcoBOff.bmp", "AcoBOn.bmp",  // 32/33
    "FingerBOff.bmp", "FingerBOn.bmp",  // 34/35
    "PrecRWOff.bmp", "PrecRWOn.bmp",  // 36/37
    "PrecFWOff.bmp", "PrecFWOn.bmp",  // 38/39
    "PickBOff.bmp", "PickBOn.bmp",  // 40/41
    "PrecPickOff.bmp", "PrecPickOn.bmp",  // 42/43
    "FretlessBOff.bmp", "FretlessBOn.bmp",  // 44/45
    "Icon_StringsSmall_off.bmp", "Icon_StringsSmall_on.bmp",  // 46/47
    "Icon_StringsLarge_off.bmp", "Icon_StringsLarge_on.bmp",  // 48/49
    "Icon_StringsSmall_off.bmp", "Icon_StringsSmall_on.bmp",  // 50/51
    "Icon_StringsLarge_off.bmp", "Icon_StringsLarge_on.bmp",  // 52/53
    "Icon_Brass_off.bmp", "Icon_Brass_on.bmp",  // 54/55
    "Icon_Trumpet_off.bmp", "Icon_Trumpet_on.bmp",  // 56/57
    "Icon_TenorSax_off.bmp", "Icon_TenorSax_on.bmp",  // 58/59
    "Choir1Off.bmp", "Choir1On.bmp",  // 60/61
    "Choir3Off.bmp", "Choir3On.bmp",  // 62/63
    "Choir5Off.bmp", "Choir5On.bmp",  // 64/65
    "Icon_Drum_off.bmp", "Icon_Drum_on.bmp",  // 66/67
    "DebugIOn.bmp",  // 68
};

}  // namespace

const OlderDisplayName* OlderDisplayNames = kOlderNames;
const int OlderDisplayNameCount = int(std::size(kOlderNames));

BYTE InitAlgorithmTable() {
    AlgorithmEntry none;
    none.displayName = "---";
    none.voiceIndex = kUnsetVoiceIndex;
    none.category23 = none.category20 = none.recommendCategory = -1;
    none.drumNotes = DrumNoteSets[0];
    for (AlgorithmEntry& entry : AlgorithmTable) entry = none;
    for (int r = 0; r < kAlgorithmRowCount; ++r) {
        const AlgorithmRow& row = kRows[r];
        AlgorithmEntry entry;
        entry.displayName = row.displayName;
        entry.voiceIndex = row.voiceIndex;
        entry.algorithmId = row.algorithmId;
        entry.category23 = row.category23;
        entry.category20 = row.category20;
        entry.recommendCategory = row.recommendCategory;
        entry.drumNotes = DrumNoteSets[row.drumSet];
        entry.iconOff = row.iconOff;
        entry.iconOn = row.iconOn;
        AlgorithmTable[r] = entry;
    }
    return 0;
}

bool IsTargetRow(int row) { return row >= 0 && row < kFirstGroupRow; }

bool GetInstIconFileName(int id, CString* fileName) {
    if (id < 0 || id >= int(std::size(kInstIcons))) return false;
    if (fileName) *fileName = kInstIcons[id];
    return true;
}
