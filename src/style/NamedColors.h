#pragma once

#include "style/Color.h"

#include <QString>
#include <QStringList>

#include <optional>

// Named colours and the application palette. Each X(name, red, green, blue) entry, on the
// 0...255 scale, becomes a function UIColor_Expanded::name() returning one cached opaque
// RGB colour. The named colours red(), green(), blue() and white() stand beside the
// component getters of the same names, which take a colour.
#define KIVO_NAMED_COLORS(X)                                                                       \
    X(aliceBlue, 240, 248, 255)                                                                    \
    X(alizarin, 227, 38, 54)                                                                       \
    X(amaranth, 229, 43, 80)                                                                       \
    X(amber, 255, 191, 0)                                                                          \
    X(amethyst, 153, 102, 204)                                                                     \
    X(apricot, 251, 206, 177)                                                                      \
    X(aqua, 0, 255, 255)                                                                           \
    X(aquamarine, 127, 255, 212)                                                                   \
    X(armyGreen, 75, 83, 32)                                                                       \
    X(asparagus, 123, 160, 91)                                                                     \
    X(atomicTangerine, 255, 153, 102)                                                              \
    X(auburn, 165, 42, 42)                                                                         \
    X(azure, 0, 127, 255)                                                                          \
    X(azureWeb, 240, 255, 255)                                                                     \
    X(babyBlue, 137, 207, 240)                                                                     \
    X(beige, 245, 245, 220)                                                                        \
    X(bistre, 61, 43, 31)                                                                          \
    X(black, 0, 0, 0)                                                                              \
    X(blue, 0, 0, 255)                                                                             \
    X(pigmentBlue, 51, 51, 153)                                                                    \
    X(rybBlue, 2, 71, 254)                                                                         \
    X(blueGreen, 0, 223, 223)                                                                      \
    X(blueViolet, 138, 43, 226)                                                                    \
    X(bondiBlue, 0, 149, 182)                                                                      \
    X(brass, 181, 166, 66)                                                                         \
    X(brightGreen, 102, 255, 0)                                                                    \
    X(brightPink, 255, 0, 127)                                                                     \
    X(brightTurquoise, 8, 232, 222)                                                                \
    X(brilliantRose, 255, 85, 163)                                                                 \
    X(britishRacingGreen, 0, 66, 37)                                                               \
    X(bronze, 205, 127, 50)                                                                        \
    X(brown, 150, 75, 0)                                                                           \
    X(buff, 240, 220, 130)                                                                         \
    X(burgundy, 128, 0, 32)                                                                        \
    X(burntOrange, 204, 85, 0)                                                                     \
    X(burntSienna, 233, 116, 81)                                                                   \
    X(burntUmber, 138, 51, 36)                                                                     \
    X(camouflageGreen, 120, 134, 107)                                                              \
    X(caputMortuum, 89, 39, 32)                                                                    \
    X(cardinal, 196, 30, 58)                                                                       \
    X(carmine, 150, 0, 24)                                                                         \
    X(carnationPink, 255, 166, 201)                                                                \
    X(carolinaBlue, 153, 186, 221)                                                                 \
    X(carrotOrange, 237, 145, 33)                                                                  \
    X(celadon, 172, 225, 175)                                                                      \
    X(cerise, 222, 49, 99)                                                                         \
    X(cerulean, 0, 123, 167)                                                                       \
    X(ceruleanBlue, 42, 82, 190)                                                                   \
    X(champagne, 247, 231, 206)                                                                    \
    X(charcoal, 70, 70, 70)                                                                        \
    X(chartreuse, 223, 255, 0)                                                                     \
    X(chartreuseWeb, 127, 255, 0)                                                                  \
    X(cherryBlossomPink, 255, 183, 197)                                                            \
    X(chestnut, 205, 92, 92)                                                                       \
    X(chocolate, 123, 63, 0)                                                                       \
    X(cinnabar, 227, 66, 52)                                                                       \
    X(cinnamon, 210, 105, 30)                                                                      \
    X(cobalt, 0, 71, 171)                                                                          \
    X(columbiaBlue, 155, 221, 255)                                                                 \
    X(copper, 184, 115, 51)                                                                        \
    X(copperRose, 153, 102, 102)                                                                   \
    X(coral, 255, 127, 80)                                                                         \
    X(coralRed, 255, 64, 64)                                                                       \
    X(corn, 251, 236, 93)                                                                          \
    X(cornflowerBlue, 100, 149, 237)                                                               \
    X(cosmicLatte, 255, 248, 231)                                                                  \
    X(cream, 255, 253, 208)                                                                        \
    X(crimson, 220, 20, 60)                                                                        \
    X(cyan, 0, 255, 255)                                                                           \
    X(processCyan, 0, 183, 235)                                                                    \
    X(darkBlue, 0, 0, 139)                                                                         \
    X(darkBrown, 101, 67, 33)                                                                      \
    X(darkCerulean, 8, 69, 126)                                                                    \
    X(darkChestnut, 152, 105, 96)                                                                  \
    X(darkCoral, 205, 91, 69)                                                                      \
    X(darkGoldenrod, 184, 134, 11)                                                                 \
    X(darkGreen, 1, 50, 32)                                                                        \
    X(darkKhaki, 189, 183, 107)                                                                    \
    X(darkPastelGreen, 3, 192, 60)                                                                 \
    X(darkPink, 231, 84, 128)                                                                      \
    X(darkScarlet, 86, 3, 25)                                                                      \
    X(darkSalmon, 233, 150, 122)                                                                   \
    X(darkSlateGray, 47, 79, 79)                                                                   \
    X(darkSpringGreen, 23, 114, 69)                                                                \
    X(darkTan, 145, 129, 81)                                                                       \
    X(darkTurquoise, 0, 206, 209)                                                                  \
    X(darkViolet, 148, 0, 211)                                                                     \
    X(deepCerise, 218, 50, 135)                                                                    \
    X(deepChestnut, 185, 78, 72)                                                                   \
    X(deepFuchsia, 193, 84, 193)                                                                   \
    X(deepLilac, 153, 85, 187)                                                                     \
    X(deepMagenta, 204, 0, 204)                                                                    \
    X(deepPeach, 255, 203, 164)                                                                    \
    X(deepPink, 255, 20, 147)                                                                      \
    X(denim, 21, 96, 189)                                                                          \
    X(dodgerBlue, 30, 144, 255)                                                                    \
    X(ecru, 194, 178, 128)                                                                         \
    X(egyptianBlue, 16, 52, 166)                                                                   \
    X(electricBlue, 125, 249, 255)                                                                 \
    X(electricGreen, 0, 255, 0)                                                                    \
    X(electricIndigo, 102, 0, 255)                                                                 \
    X(electricLime, 204, 255, 0)                                                                   \
    X(electricPurple, 191, 0, 255)                                                                 \
    X(emerald, 80, 200, 120)                                                                       \
    X(eggplant, 97, 64, 81)                                                                        \
    X(faluRed, 128, 24, 24)                                                                        \
    X(fernGreen, 79, 121, 66)                                                                      \
    X(firebrick, 178, 34, 34)                                                                      \
    X(flax, 238, 220, 130)                                                                         \
    X(forestGreen, 34, 139, 34)                                                                    \
    X(frenchRose, 246, 74, 138)                                                                    \
    X(fuchsia, 255, 0, 255)                                                                        \
    X(fuchsiaPink, 255, 119, 255)                                                                  \
    X(gamboge, 228, 155, 15)                                                                       \
    X(metallicGold, 212, 175, 55)                                                                  \
    X(goldWeb, 255, 215, 0)                                                                        \
    X(goldenBrown, 153, 101, 21)                                                                   \
    X(goldenYellow, 255, 223, 0)                                                                   \
    X(goldenrod, 218, 165, 32)                                                                     \
    X(greyAsparagus, 70, 89, 69)                                                                   \
    X(green, 0, 255, 0)                                                                            \
    X(greenWeb, 0, 128, 0)                                                                         \
    X(pigmentGreen, 0, 165, 80)                                                                    \
    X(rybGreen, 102, 176, 50)                                                                      \
    X(greenYellow, 173, 255, 47)                                                                   \
    X(grey, 128, 128, 128)                                                                         \
    X(hanPurple, 82, 24, 250)                                                                      \
    X(harlequin, 63, 255, 0)                                                                       \
    X(heliotrope, 223, 115, 255)                                                                   \
    X(hollywoodCerise, 244, 0, 161)                                                                \
    X(hotMagenta, 255, 0, 204)                                                                     \
    X(hotPink, 255, 105, 180)                                                                      \
    X(indigo, 0, 65, 106)                                                                          \
    X(indigoWeb, 75, 0, 130)                                                                       \
    X(internationalKleinBlue, 0, 47, 167)                                                          \
    X(internationalOrange, 255, 79, 0)                                                             \
    X(islamicGreen, 0, 153, 0)                                                                     \
    X(ivory, 255, 255, 240)                                                                        \
    X(jade, 0, 168, 107)                                                                           \
    X(kellyGreen, 76, 187, 23)                                                                     \
    X(khaki, 195, 176, 145)                                                                        \
    X(lightKhaki, 240, 230, 140)                                                                   \
    X(lavender, 181, 126, 220)                                                                     \
    X(lavenderWeb, 230, 230, 250)                                                                  \
    X(lavenderBlue, 204, 204, 255)                                                                 \
    X(lavenderBlush, 255, 240, 245)                                                                \
    X(lavenderGrey, 196, 195, 208)                                                                 \
    X(lavenderMagenta, 238, 130, 238)                                                              \
    X(lavenderPink, 251, 174, 210)                                                                 \
    X(lavenderPurple, 150, 123, 182)                                                               \
    X(lavenderRose, 251, 160, 227)                                                                 \
    X(lawnGreen, 124, 252, 0)                                                                      \
    X(lemon, 255, 247, 0)                                                                          \
    X(lemonChiffon, 255, 250, 205)                                                                 \
    X(lightBlue, 173, 216, 230)                                                                    \
    X(lightPink, 255, 182, 193)                                                                    \
    X(lilac, 200, 162, 200)                                                                        \
    X(lime, 191, 255, 0)                                                                           \
    X(limeWeb, 0, 255, 0)                                                                          \
    X(limeGreen, 50, 205, 50)                                                                      \
    X(linen, 250, 240, 230)                                                                        \
    X(magenta, 255, 0, 255)                                                                        \
    X(magentaDye, 202, 31, 123)                                                                    \
    X(processMagenta, 255, 0, 144)                                                                 \
    X(magicMint, 170, 240, 209)                                                                    \
    X(magnolia, 248, 244, 255)                                                                     \
    X(malachite, 11, 218, 81)                                                                      \
    X(maroonWeb, 128, 0, 0)                                                                        \
    X(maroon, 176, 48, 96)                                                                         \
    X(mayaBlue, 115, 194, 251)                                                                     \
    X(mauve, 224, 176, 255)                                                                        \
    X(mauveTaupe, 145, 95, 109)                                                                    \
    X(mediumBlue, 0, 0, 205)                                                                       \
    X(mediumCarmine, 175, 64, 53)                                                                  \
    X(mediumLavenderMagenta, 204, 153, 204)                                                        \
    X(mediumPurple, 147, 112, 219)                                                                 \
    X(mediumSpringGreen, 0, 250, 154)                                                              \
    X(midnightBlue, 25, 25, 112)                                                                   \
    X(mintGreen, 152, 255, 152)                                                                    \
    X(mistyRose, 255, 228, 225)                                                                    \
    X(mossGreen, 173, 223, 173)                                                                    \
    X(mountbattenPink, 153, 122, 141)                                                              \
    X(mustard, 255, 219, 88)                                                                       \
    X(myrtle, 33, 66, 30)                                                                          \
    X(navajoWhite, 255, 222, 173)                                                                  \
    X(navyBlue, 0, 0, 128)                                                                         \
    X(ochre, 204, 119, 34)                                                                         \
    X(officeGreen, 0, 128, 0)                                                                      \
    X(oldGold, 207, 181, 59)                                                                       \
    X(oldLace, 253, 245, 230)                                                                      \
    X(oldLavender, 121, 104, 120)                                                                  \
    X(oldRose, 192, 128, 129)                                                                      \
    X(olive, 128, 128, 0)                                                                          \
    X(oliveDrab, 107, 142, 35)                                                                     \
    X(olivine, 154, 185, 115)                                                                      \
    X(orange, 255, 127, 0)                                                                         \
    X(rybOrange, 251, 153, 2)                                                                      \
    X(orangeWeb, 255, 165, 0)                                                                      \
    X(orangePeel, 255, 159, 0)                                                                     \
    X(orangeRed, 255, 69, 0)                                                                       \
    X(orchid, 218, 112, 214)                                                                       \
    X(paleBlue, 175, 238, 238)                                                                     \
    X(paleBrown, 152, 118, 84)                                                                     \
    X(paleCarmine, 175, 64, 53)                                                                    \
    X(paleChestnut, 221, 173, 175)                                                                 \
    X(paleCornflowerBlue, 171, 205, 239)                                                           \
    X(paleMagenta, 249, 132, 229)                                                                  \
    X(palePink, 250, 218, 221)                                                                     \
    X(paleRedViolet, 219, 112, 147)                                                                \
    X(papayaWhip, 255, 239, 213)                                                                   \
    X(pastelGreen, 119, 221, 119)                                                                  \
    X(pastelPink, 255, 209, 220)                                                                   \
    X(peach, 255, 229, 180)                                                                        \
    X(peachOrange, 255, 204, 153)                                                                  \
    X(peachYellow, 250, 223, 173)                                                                  \
    X(pear, 209, 226, 49)                                                                          \
    X(periwinkle, 204, 204, 255)                                                                   \
    X(persianBlue, 28, 57, 187)                                                                    \
    X(persianGreen, 0, 166, 147)                                                                   \
    X(persianIndigo, 50, 18, 122)                                                                  \
    X(persianOrange, 217, 144, 88)                                                                 \
    X(persianRed, 204, 51, 51)                                                                     \
    X(persianPink, 247, 127, 190)                                                                  \
    X(persianRose, 254, 40, 162)                                                                   \
    X(persimmon, 236, 88, 0)                                                                       \
    X(pineGreen, 1, 121, 111)                                                                      \
    X(pink, 255, 192, 203)                                                                         \
    X(pinkOrange, 255, 153, 102)                                                                   \
    X(platinum, 229, 228, 226)                                                                     \
    X(plum, 221, 160, 221)                                                                         \
    X(powderBlue, 176, 224, 230)                                                                   \
    X(puce, 204, 136, 153)                                                                         \
    X(prussianBlue, 0, 49, 83)                                                                     \
    X(psychedelicPurple, 221, 0, 255)                                                              \
    X(pumpkin, 255, 117, 24)                                                                       \
    X(purpleWeb, 128, 0, 128)                                                                      \
    X(purple, 160, 32, 240)                                                                        \
    X(purpleTaupe, 80, 64, 77)                                                                     \
    X(rawUmber, 115, 74, 18)                                                                       \
    X(razzmatazz, 227, 11, 92)                                                                     \
    X(red, 255, 0, 0)                                                                              \
    X(pigmentRed, 237, 28, 36)                                                                     \
    X(rybRed, 254, 39, 18)                                                                         \
    X(redBiolet, 199, 21, 133)                                                                     \
    X(richCarmine, 215, 0, 64)                                                                     \
    X(robinEggBlue, 0, 204, 204)                                                                   \
    X(rose, 255, 0, 127)                                                                           \
    X(roseMadder, 227, 38, 54)                                                                     \
    X(roseTaupe, 144, 93, 93)                                                                      \
    X(royalBlue, 65, 105, 225)                                                                     \
    X(royalPurple, 107, 63, 160)                                                                   \
    X(ruby, 224, 17, 95)                                                                           \
    X(russet, 128, 70, 27)                                                                         \
    X(rust, 183, 65, 14)                                                                           \
    X(safetyOrange, 255, 102, 0)                                                                   \
    X(blazeOrange, 255, 102, 0)                                                                    \
    X(saffron, 244, 196, 48)                                                                       \
    X(salmon, 255, 140, 105)                                                                       \
    X(sandyBrown, 244, 164, 96)                                                                    \
    X(sangria, 146, 0, 10)                                                                         \
    X(sapphire, 8, 37, 103)                                                                        \
    X(scarlet, 255, 36, 0)                                                                         \
    X(schoolBusYellow, 255, 216, 0)                                                                \
    X(seaGreen, 46, 139, 87)                                                                       \
    X(seashell, 255, 245, 238)                                                                     \
    X(selectiveYellow, 255, 186, 0)                                                                \
    X(sepia, 112, 66, 20)                                                                          \
    X(shamrockGreen, 0, 158, 96)                                                                   \
    X(shockingPink, 252, 15, 192)                                                                  \
    X(silver, 192, 192, 192)                                                                       \
    X(skyBlue, 135, 206, 235)                                                                      \
    X(slateGrey, 112, 128, 144)                                                                    \
    X(smalt, 0, 51, 153)                                                                           \
    X(springBud, 167, 252, 0)                                                                      \
    X(springGreen, 0, 255, 127)                                                                    \
    X(steelBlue, 70, 130, 180)                                                                     \
    X(tan, 210, 180, 140)                                                                          \
    X(tangerine, 242, 133, 0)                                                                      \
    X(tangerineYellow, 255, 204, 0)                                                                \
    X(taupe, 72, 60, 50)                                                                           \
    X(teaGreen, 208, 240, 192)                                                                     \
    X(teaRoseOrange, 248, 131, 121)                                                                \
    X(teaRose, 244, 194, 194)                                                                      \
    X(teal, 0, 128, 128)                                                                           \
    X(tawny, 205, 87, 0)                                                                           \
    X(terraCotta, 226, 114, 91)                                                                    \
    X(thistle, 216, 191, 216)                                                                      \
    X(tomato, 255, 99, 71)                                                                         \
    X(turquoise, 48, 213, 200)                                                                     \
    X(tyrianPurple, 102, 2, 60)                                                                    \
    X(ultramarine, 18, 10, 143)                                                                    \
    X(unitedNationsBlue, 91, 146, 229)                                                             \
    X(vegasGold, 197, 179, 88)                                                                     \
    X(vermilion, 227, 66, 51)                                                                      \
    X(violet, 139, 0, 255)                                                                         \
    X(violetWeb, 238, 130, 238)                                                                    \
    X(rybViolet, 134, 1, 175)                                                                      \
    X(viridian, 64, 130, 109)                                                                      \
    X(wheat, 245, 222, 179)                                                                        \
    X(white, 255, 255, 255)                                                                        \
    X(wisteria, 201, 160, 220)                                                                     \
    X(yellow, 255, 255, 0)                                                                         \
    X(processYellow, 255, 239, 0)                                                                  \
    X(rybYellow, 254, 254, 51)                                                                     \
    X(yellowGreen, 154, 205, 50)                                                                   \
    X(zinnwaldite, 235, 194, 175)

// Chart colours (Excel1...Excel8), fixed interface colours and the seventeen theme colours,
// whose names after "Theme" are what the theme settings hold.
#define KIVO_PALETTE_COLORS(X)                                                                     \
    X(SgcGrey, 67, 79, 86)                                                                         \
    X(Excel1, 60, 60, 100)                                                                         \
    X(Excel2, 60, 20, 40)                                                                          \
    X(Excel3, 100, 100, 80)                                                                        \
    X(Excel4, 80, 100, 100)                                                                        \
    X(Excel5, 40, 0, 40)                                                                           \
    X(Excel6, 100, 50.2, 50.2)                                                                     \
    X(Excel7, 0, 40, 80)                                                                           \
    X(Excel8, 80, 80, 100)                                                                         \
    X(BrandiesBlue, 0, 112, 255)                                                                   \
    X(Grey234, 234, 234, 234)                                                                      \
    X(cyan1, 0, 147, 221)                                                                          \
    X(ThemeRubyRed, 144, 85, 67)                                                                   \
    X(ThemeLightGrey, 140, 139, 138)                                                               \
    X(ThemeDarkGrey, 96, 93, 92)                                                                   \
    X(ThemeBlue, 0, 144, 223)                                                                      \
    X(ThemeRed, 220, 39, 22)                                                                       \
    X(ThemeGreen, 0, 147, 59)                                                                      \
    X(ThemeNeonPurple, 184, 77, 144)                                                               \
    X(ThemeMossGreen, 94, 104, 110)                                                                \
    X(ThemePurple, 107, 33, 120)                                                                   \
    X(ThemeMagenta, 221, 19, 122)                                                                  \
    X(ThemeTeal, 3, 166, 165)                                                                      \
    X(ThemeLime, 133, 188, 45)                                                                     \
    X(ThemeBrown, 170, 81, 39)                                                                     \
    X(ThemePink, 215, 104, 156)                                                                    \
    X(ThemeOrange, 231, 140, 44)                                                                   \
    X(ThemeWhite, 239, 238, 238)                                                                   \
    X(ThemeGrey, 185, 186, 187)                                                                    \
    X(TemplateBackGround, 229, 229, 229)

namespace UIColor_Expanded {

#define KIVO_DECLARE_COLOR(name, r, g, b) const Color& name();
KIVO_NAMED_COLORS(KIVO_DECLARE_COLOR)
KIVO_PALETTE_COLORS(KIVO_DECLARE_COLOR)
#undef KIVO_DECLARE_COLOR

// The seventeen theme names (RubyRed, LightGrey, ..., Grey) in palette order.
const QStringList& themeColorNames();
// The colour of "Theme" + name (Blue gives ThemeBlue()); none for any other name.
[[nodiscard]] std::optional<Color> themeColor(const QString& name);
// The braces text of themeColor(name); a null string for an unknown name.
QString themeRGBString(const QString& name);
// Excel1...Excel8, taken in turn: index n modulo 8.
const Color& GetRandomColor(quint64 index);

} // namespace UIColor_Expanded
