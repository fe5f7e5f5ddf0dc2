// Generated table: the named-colour dictionaries, one entry a line as "name<TAB>value".
// Keep every dictionary's entries in this order; it decides ties of the closest-name search.
#include "style/ColorDictionaryData.h"

namespace colordata {

const DictionaryText kDictionaries[] = {
    { "Crayon", 122, u8R"KIVO(
Almond	EED9C4
Antique Brass	CD9575
Apricot	FDD9B5
Aquamarine	78DBE2
Asparagus	87A96B
Atomic Tangerine	FFA474
Banana Mania	FAE7B5
Beaver	9F8170
Bittersweet	FD7C6E
Black	000000
Blizzard Blue	ACE5EE
Blue	1F75FE
Blue Bell	A2A2D0
Blue Green	0D98BA
Blue Violet	7366BD
Brick Red	CB4154
Brink Pink	FB607F
Brown	B4674D
Burnt Orange	FF7F49
Burnt Sienna	EA7E5D
Cadet Blue	B0B7C6
Canary	FFFF99
Caribbean Green	1CD3A2
Carnation Pink	FFAACC
Cerise	DD4492
Cerulean	1DACD6
Chestnut	BC5D58
Copper	DD9475
Cornflower	9ACEEB
Cotton Candy	FFBCD9
Cranberry	DB5079
Dandelion	FDDB6D
Denim	2B6CC4
Desert Sand	EFCDB8
Eggplant	6E5160
Electric Lime	CEFF1D
Fern	71BC78
Flesh	FFCBA4
Forest Green	6DAE81
Fuchsia	C364C5
Fuzzy Wuzzy Brown	CC6666
Gold	E7C697
Goldenrod	FCD975
Granny Smith Apple	A8E4A0
Gray	95918C
Green	1CAC78
Green Yellow	F0E891
Happy Ever After	6CDA37
Hot Magenta	FF1DCE
Inch Worm	B2EC5D
Indigo	5D76CB
Jazzberry Jam	CA3767
Jungle Green	3BB08F
Laser Lemon	FEFE22
Lavender	FCB4D5
Macaroni And Cheese	FFBD88
Magenta	F664AF
Magic Mint	AAF0D1
Mahogany	CD4A4C
Manatee	979AAA
Mango Tango	FF8243
Maroon	C8385A
Mauvelous	EF98AA
Melon	FDBCB4
Midnight Blue	1A4876
Mountain Meadow	30BA8F
Mulberry	C54B8C
Navy Blue	1974D2
Neon Carrot	FFA343
Olive Green	BAB86C
Orange	FF7538
Orchid	E6A8D7
Outer Space	414A4C
Outrageous Orange	FF6E4A
Pacific Blue	1CA9C9
Periwinkle	C5D0E6
Pig Pink	FDDDE6
Pine Green	158078
Pink Flamingo	FC74FD
Plum	8E4585
Purple Heart	7442C8
Purple Mountain's Majesty	9D81BA
Radical Red	FF496C
Raw Sienna	D68A59
Razzle Dazzle Rose	FF48D0
Razzmatazz	E3256B
Red	ED0A3F
Red Orange	FF5349
Red Violet	C0448F
Robin's Egg Blue	1FCECB
Royal Purple	7851A9
Salmon	FF9BAA
Scarlet	FC2847
Screamin' Green	76FF7A
Sea Green	93DFB8
Sepia	A5694F
Shadow	8A795D
Shamrock	45CEA2
Shocking Pink	FB7EFD
Silver	CDC5C2
Sky Blue	80DAEB
Spring Green	ECEABE
Sunglow	FFCF48
Sunset Orange	FD5E53
Tan	FAA76C
Tickle Me Pink	FC89AC
Timberwolf	DBD7D2
Tropical Rain Forest	17806D
Tumbleweed	DEAA88
Turquoise Blue	77DDE7
Ultra Red	FC6C85
Violet (Purple)	926EAE
Violet Red	F75394
Vivid Tangerine	FFA089
Vivid Violet	8F509D
White	FFFFFF
Wild Blue Yonder	A2ADD0
Wild Strawberry	FF43A4
Wisteria	CDA4DE
Yellow	FCE883
Yellow Green	C5E384
Yellow Orange	FFAE42
)KIVO" },
    { "CSS", 138, u8R"KIVO(
lightseagreen	20b2aa
floralwhite	fffaf0
lightgray	d3d3d3
darkgoldenrod	b8860b
paleturquoise	afeeee
goldenrod	daa520
skyblue	87ceeb
indianred	cd5c5c
darkgray	a9a9a9
khaki	f0e68c
blue	0000ff
darkred	8b0000
lightyellow	ffffe0
midnightblue	191970
chartreuse	7fff00
lightsteelblue	b0c4de
slateblue	6a5acd
firebrick	b22222
moccasin	ffe4b5
salmon	fa8072
sienna	a0522d
slategray	708090
teal	008080
lightsalmon	ffa07a
pink	ffc0cb
burlywood	deb887
gold	ffd700
springgreen	00ff7f
lightcoral	f08080
black	000000
blueviolet	8a2be2
chocolate	d2691e
aqua	00ffff
darkviolet	9400d3
indigo	4b0082
darkcyan	008b8b
orange	ffa500
antiquewhite	faebd7
peru	cd853f
silver	c0c0c0
purple	800080
saddlebrown	8b4513
lawngreen	7cfc00
dodgerblue	1e90ff
lime	00ff00
linen	faf0e6
lightblue	add8e6
darkslategray	2f4f4f
lightskyblue	87cefa
mintcream	f5fffa
olive	808000
hotpink	ff69b4
papayawhip	ffefd5
mediumseagreen	3cb371
mediumspringgreen	00fa9a
cornflowerblue	6495ed
plum	dda0dd
seagreen	2e8b57
palevioletred	db7093
bisque	ffe4c4
beige	f5f5dc
darkorchid	9932cc
royalblue	4169e1
darkolivegreen	556b2f
darkmagenta	8b008b
orange red	ff4500
lavender	e6e6fa
fuchsia	ff00ff
darkseagreen	8fbc8f
lavenderblush	fff0f5
wheat	f5deb3
steelblue	4682b4
lightgoldenrodyellow	fafad2
lightcyan	e0ffff
mediumaquamarine	66cdaa
turquoise	40e0d0
dark blue	00008b
darkorange	ff8c00
brown	a52a2a
dimgray	696969
deeppink	ff1493
powderblue	b0e0e6
red	ff0000
darkgreen	006400
ghostwhite	f8f8ff
white	ffffff
navajowhite	ffdead
navy	000080
ivory	fffff0
palegreen	98fb98
whitesmoke	f5f5f5
gainsboro	dcdcdc
mediumslateblue	7b68ee
olivedrab	6b8e23
mediumpurple	9370db
darkslateblue	483d8b
blanchedalmond	ffebcd
darkkhaki	bdb76b
green	008000
limegreen	32cd32
snow	fffafa
tomato	ff6347
darkturquoise	00ced1
orchid	da70d6
yellow	ffff00
green yellow	adff2f
azure	f0ffff
mistyrose	ffe4e1
cadetblue	5f9ea0
oldlace	fdf5e6
gray	808080
honeydew	f0fff0
peachpuff	ffdab9
tan	d2b48c
thistle	d8bfd8
palegoldenrod	eee8aa
mediumorchid	ba55d3
rosybrown	bc8f8f
mediumturquoise	48d1cc
lemonchiffon	fffacd
maroon	800000
mediumvioletred	c71585
violet	ee82ee
yellow green	9acd32
coral	ff7f50
lightgreen	90ee90
cornsilk	fff8dc
mediumblue	0000cd
aliceblue	f0f8ff
forestgreen	228b22
aquamarine	7fffd4
deepskyblue	00bfff
lightslategray	778899
darksalmon	e9967a
crimson	dc143c
sandybrown	f4a460
lightpink	ffb6c1
seashell	fff5ee
)KIVO" },
    { "Base", 141, u8R"KIVO(
Alice Blue	F0F8FF
Antique White	FAEBD7
Aqua	00FFFF
Aquamarine	7FFFD4
Azure	F0FFFF
Beige	F5F5DC
Bisque	FFE4C4
Black	000000
Blanched Almond	FFEBCD
Blue	0000FF
Blue Violet	8A2BE2
Brown	A52A2A
Burlywood	DEB887
Cadet Blue	5F9EA0
Chartreuse	7FFF00
Chocolate	D2691E
Coral	FF7F50
Cornflower	6495ED
Cornsilk	FFF8DC
Crimson	DC143C
Dark Blue	00008B
Dark Cyan	008B8B
Dark Goldenrod	B8860B
Dark Gray	A9A9A9
Dark Green	006400
Dark Khaki	BDB76B
Dark Magenta	8B008B
Dark Olive Green	556B2F
Dark Orange	FF8C00
Dark Orchid	9932CC
Dark Red	8B0000
Dark Salmon	E9967A
Dark Sea Green	8FBC8F
Dark Slate Blue	483D8B
Dark Slate Gray	2F4F4F
Dark Turquoise	00CED1
Dark Violet	9400D3
Deep Pink	FF1493
Deep Sky Blue	00BFFF
Dim Gray	696969
Dodger Blue	1E90FF
Firebrick	B22222
Floral White	FFFAF0
Forest Green	228B22
Fuchsia	FF00FF
Gainsboro	DCDCDC
Ghost White	F8F8FF
Gold	FFD700
Goldenrod	DAA520
Gray (W3C)	808080
Gray (X11)	BEBEBE
Green (W3C)	008000
Green (X11)	00FF00
Green Yellow	ADFF2F
Honeydew	F0FFF0
Hot Pink	FF69B4
Indian Red	CD5C5C
Indigo	4B0082
Ivory	FFFFF0
Khaki	F0E68C
Lavender	E6E6FA
Lavender Blush	FFF0F5
Lawn Green	7CFC00
Lemon Chiffon	FFFACD
Light Blue	ADD8E6
Light Coral	F08080
Light Cyan	E0FFFF
Light Goldenrod	FAFAD2
Light Gray	D3D3D3
Light Green	90EE90
Light Pink	FFB6C1
Light Salmon	FFA07A
Light Sea Green	20B2AA
Light Sky Blue	87CEFA
Light Slate Gray	778899
Light Steel Blue	B0C4DE
Light Yellow	FFFFE0
Lime Green	32CD32
Linen	FAF0E6
Maroon (W3C)	800000
Maroon (X11)	B03060
Medium Aquamarine	66CDAA
Medium Blue	0000CD
Medium Orchid	BA55D3
Medium Purple	9370DB
Medium Sea Green	3CB371
Medium Slate Blue	7B68EE
Medium Spring Green	00FA9A
Medium Turquoise	48D1CC
Medium Violet Red	C71585
Midnight Blue	191970
Mint Cream	F5FFFA
Misty Rose	FFE4E1
Moccasin	FFE4B5
Navajo White	FFDEAD
Navy	000080
Old Lace	FDF5E6
Olive	808000
Olive Drab	6B8E23
Orange	FFA500
Orange Red	FF4500
Orchid	DA70D6
Pale Goldenrod	EEE8AA
Pale Green	98FB98
Pale Turquoise	AFEEEE
Pale Violet Red	DB7093
Papaya Whip	FFEFD5
Peach Puff	FFDAB9
Peru	CD853F
Pink	FFC0CB
Plum	DDA0DD
Powder Blue	B0E0E6
Purple (W3C)	800080
Purple (X11)	A020F0
Red	FF0000
Rosy Brown	BC8F8F
Royal Blue	4169E1
Saddle Brown	8B4513
Salmon	FA8072
Sandy Brown	F4A460
Sea Green	2E8B57
Seashell	FFF5EE
Sienna	A0522D
Silver (W3C)	C0C0C0
Sky Blue	87CEEB
Slate Blue	6A5ACD
Slate Gray	708090
Snow	FFFAFA
Spring Green	00FF7F
Steel Blue	4682B4
Tan	D2B48C
Teal	008080
Thistle	D8BFD8
Tomato	FF6347
Turquoise	40E0D0
Violet	EE82EE
Wheat	F5DEB3
White	FFFFFF
White Smoke	F5F5F5
Yellow	FFFF00
Yellow Green	9ACD32
)KIVO" },
    { "System", 14, u8R"KIVO(
Black	000000
Dark Gray	555555
Light Gray	AAAAAA
White	FFFFFF
Gray	7F7F7F
Red	FF0000
Green	00FF00
Blue	0000FF
Cyan	00FFFF
Yellow	FFFF00
Magenta	FF00FF
Orange	FF7F00
Purple	7F007F
Brown	996633
)KIVO" },
    { "Wikipedia", 1017, u8R"KIVO(
Aero	7CB9E8
Aero Blue	C9FFE5
African Violet	B284BE
Air Force Blue (Raf)	5D8AA8
Air Force Blue (Usaf)	00308F
Air Superiority Blue	72A0C1
Alabama Crimson	AF002A
Alice Blue	F0F8FF
Alizarin Crimson	E32636
Alloy Orange	C46210
Almond	EFDECD
Amaranth	E52B50
Amazon	3B7A57
Amber	FFBF00
American Rose	FF033E
Amethyst	9966CC
Android Green	A4C639
Anti-Flash White	F2F3F4
Antique Brass	CD9575
Antique Bronze	665D1E
Antique Fuchsia	915C83
Antique Ruby	841B2D
Antique White	FAEBD7
Ao (English)	008000
Apple Green	8DB600
Apricot	FBCEB1
Aqua	00FFFF
Aquamarine	7FFFD4
Army Green	4B5320
Arsenic	3B444B
Arylide Yellow	E9D66B
Ash Gray	B2BEB5
Asparagus	87A96B
Atomic Tangerine	FF9966
Auburn	A52A2A
Aureolin	FDEE00
Aurometalsaurus	6E7F80
Avocado	568203
Azure	007FFF
Azure Mist/Web	F0FFFF
B'dazzled Blue	2E5894
Baby Blue	89CFF0
Baby Blue Eyes	A1CAF1
Baby Pink	F4C2C2
Baby Powder	FEFEFA
Baker-Miller Pink	FF91AF
Ball Blue	21ABCD
Banana Mania	FAE7B5
Banana Yellow	FFE135
Barbie Pink	E0218A
Barn Red	7C0A02
Battleship Gray	848482
Bazaar	98777B
Beau Blue	BCD4E6
Beaver	9F8170
Beige	F5F5DC
Big Dip O’ruby	9C2542
Bisque	FFE4C4
Bistre	3D2B1F
Bistre Brown	967117
Bitter Lemon	CAE00D
Bitter Lime	BFFF00
Bittersweet	FE6F5E
Bittersweet Shimmer	BF4F51
Black	000000
Black Bean	3D0C02
Black Leather Jacket	253529
Black Olive	3B3C36
Blanched Almond	FFEBCD
Blast-Off Bronze	A57164
Bleu De France	318CE7
Blizzard Blue	ACE5EE
Blond	FAF0BE
Blue	0000FF
Blue (Crayola)	1F75FE
Blue (Munsell)	0093AF
Blue (Ncs)	0087BD
Blue (Ryb)	0247FE
Blue (Pigment)	333399
Blue Bell	A2A2D0
Blue Sapphire	126180
Blue-Gray	6699CC
Blue-Green	0D98BA
Blue-Violet	8A2BE2
Blueberry	4F86F7
Bluebonnet	1C1CF0
Blush	DE5D83
Bole	79443B
Bondi Blue	0095B6
Bone	E3DAC9
Boston University Red	CC0000
Bottle Green	006A4E
Boysenberry	873260
Brandeis Blue	0070FF
Brass	B5A642
Brick Red	CB4154
Bright Cerulean	1DACD6
Bright Green	66FF00
Bright Lavender	BF94E4
Bright Maroon	C32148
Bright Pink	FF007F
Bright Turquoise	08E8DE
Bright Ube	D19FE8
Brilliant Lavender	F4BBFF
Brilliant Rose	FF55A3
Brink Pink	FB607F
British Racing Green	004225
Bronze	CD7F32
Bronze Yellow	737000
Brown (Traditional)	964B00
Brown (Web)	A52A2A
Brown-Nose	6B4423
Brunswick Green	1B4D3E
Bubble Gum	FFC1CC
Bubbles	E7FEFF
Buff	F0DC82
Bulgarian Rose	480607
Burgundy	800020
Burlywood	DEB887
Burnt Orange	CC5500
Burnt Sienna	E97451
Burnt Umber	8A3324
Byzantine	BD33A4
Byzantium	702963
Cg Blue	007AA5
Cg Red	E03C31
Cadet	536872
Cadet Blue	5F9EA0
Cadet Gray	91A3B0
Cadmium Green	006B3C
Cadmium Orange	ED872D
Cadmium Red	E30022
Cadmium Yellow	FFF600
Café Au Lait	A67B5B
Café Noir	4B3621
Cal Poly Green	1E4D2B
Cambridge Blue	A3C1AD
Camel	C19A6B
Cameo Pink	EFBBCC
Camouflage Green	78866B
Canary Yellow	FFEF00
Candy Apple Red	FF0800
Candy Pink	E4717A
Capri	00BFFF
Caput Mortuum	592720
Cardinal	C41E3A
Caribbean Green	00CC99
Carmine	960018
Carmine (M&P)	D70040
Carmine Pink	EB4C42
Carmine Red	FF0038
Carnation Pink	FFA6C9
Carnelian	B31B1B
Carolina Blue	99BADD
Carrot Orange	ED9121
Castleton Green	00563F
Catalina Blue	062A78
Catawba	703642
Cedar Chest	C95A49
Ceil	92A1CF
Celadon	ACE1AF
Celadon Blue	007BA7
Celadon Green	2F847C
Celeste (Colour)	B2FFFF
Celestial Blue	4997D0
Cerise	DE3163
Cerise Pink	EC3B83
Cerulean	007BA7
Cerulean Blue	2A52BE
Cerulean Frost	6D9BC3
Chamoisee	A0785A
Champagne	F7E7CE
Charcoal	36454F
Charleston Green	232B2B
Charm Pink	E68FAC
Chartreuse (Traditional)	DFFF00
Chartreuse (Web)	7FFF00
Cherry	DE3163
Cherry Blossom Pink	FFB7C5
Chestnut	954535
China Pink	DE6FA1
China Rose	A8516E
Chinese Red	AA381E
Chinese Violet	856088
Chocolate (Traditional)	7B3F00
Chocolate (Web)	D2691E
Chrome Yellow	FFA700
Cinereous	98817B
Cinnabar	E34234
Cinnamon	D2691E
Citrine	E4D00A
Citron	9FA91F
Claret	7F1734
Classic Rose	FBCCE7
Cobalt	0047AB
Cocoa Brown	D2691E
Coconut	965A3E
Coffee	6F4E37
Columbia Blue	9BDDFF
Congo Pink	F88379
Cool Black	002E63
Cool Gray	8C92AC
Copper	B87333
Copper (Crayola)	DA8A67
Copper Penny	AD6F69
Copper Red	CB6D51
Copper Rose	996666
Coquelicot	FF3800
Coral	FF7F50
Coral Pink	F88379
Coral Red	FF4040
Cordovan	893F45
Corn	FBEC5D
Cornell Red	B31B1B
Cornflower Blue	6495ED
Cornsilk	FFF8DC
Cosmic Latte	FFF8E7
Cotton Candy	FFBCD9
Cream	FFFDD0
Crimson	DC143C
Crimson Glory	BE0032
Cyan	00FFFF
Cyan (Process)	00B7EB
Cyber Grape	58427C
Daffodil	FFFF31
Dandelion	F0E130
Dark Blue	00008B
Dark Blue-Gray	666699
Dark Brown	654321
Dark Byzantium	5D3954
Dark Candy Apple Red	A40000
Dark Cerulean	08457E
Dark Chestnut	986960
Dark Coral	CD5B45
Dark Cyan	008B8B
Dark Electric Blue	536878
Dark Goldenrod	B8860B
Dark Gray	A9A9A9
Dark Green	013220
Dark Imperial Blue	00416A
Dark Jungle Green	1A2421
Dark Khaki	BDB76B
Dark Lava	483C32
Dark Lavender	734F96
Dark Magenta	8B008B
Dark Midnight Blue	003366
Dark Moss Green	4A5D23
Dark Olive Green	556B2F
Dark Orange	FF8C00
Dark Orchid	9932CC
Dark Pastel Blue	779ECB
Dark Pastel Green	03C03C
Dark Pastel Purple	966FD6
Dark Pastel Red	C23B22
Dark Pink	E75480
Dark Powder Blue	003399
Dark Raspberry	872657
Dark Red	8B0000
Dark Salmon	E9967A
Dark Scarlet	560319
Dark Sea Green	8FBC8F
Dark Sienna	3C1414
Dark Sky Blue	8CBED6
Dark Slate Blue	483D8B
Dark Slate Gray	2F4F4F
Dark Spring Green	177245
Dark Tan	918151
Dark Tangerine	FFA812
Dark Taupe	483C32
Dark Terra Cotta	CC4E5C
Dark Turquoise	00CED1
Dark Vanilla	D1BEA8
Dark Violet	9400D3
Dark Yellow	9B870C
Dartmouth Green	00703C
Davy's Gray	555555
Debian Red	D70A53
Deep Space Sparkle	4A646C
Deep Taupe	7E5E60
Deep Tuscan Red	66424D
Deep Carmine	A9203E
Deep Carmine Pink	EF3038
Deep Carrot Orange	E9692C
Deep Cerise	DA3287
Deep Champagne	FAD6A5
Deep Chestnut	B94E48
Deep Coffee	704241
Deep Fuchsia	C154C1
Deep Jungle Green	004B49
Deep Lemon	F5C71A
Deep Lilac	9955BB
Deep Magenta	CC00CC
Deep Mauve	D473D4
Deep Moss Green	355E3B
Deep Peach	FFCBA4
Deep Pink	FF1493
Deep Ruby	843F5B
Deep Saffron	FF9933
Deep Sky Blue	00BFFF
Deer	BA8759
Denim	1560BD
Desert	C19A6B
Desert Sand	EDC9AF
Diamond	B9F2FF
Dim Gray	696969
Dirt	9B7653
Dodger Blue	1E90FF
Dogwood Rose	D71868
Dollar Bill	85BB65
Drab	967117
Duke Blue	00009C
Dust Storm	E5CCC9
Earth Yellow	E1A95F
Ebony	555D50
Ecru	C2B280
Eggplant	614051
Eggshell	F0EAD6
Egyptian Blue	1034A6
Electric Blue	7DF9FF
Electric Crimson	FF003F
Electric Cyan	00FFFF
Electric Green	00FF00
Electric Indigo	6F00FF
Electric Lavender	F4BBFF
Electric Lime	CCFF00
Electric Purple	BF00FF
Electric Ultramarine	3F00FF
Electric Violet	8F00FF
Electric Yellow	FFFF33
Emerald	50C878
English Green	1B4D3E
English Lavender	B48395
English Red	AB4B52
English Violet	563C5C
Eton Blue	96C8A2
Eucalyptus	44D7A8
Fallow	C19A6B
Falu Red	801818
Fandango	B53389
Fandango Pink	DE5285
Fashion Fuchsia	F400A1
Fawn	E5AA70
Feldgrau	4D5D53
Feldspar	FDD5B1
Fern Green	4F7942
Ferrari Red	FF2800
Field Drab	6C541E
Fire Engine Red	CE2029
Firebrick	B22222
Flame	E25822
Flamingo Pink	FC8EAC
Flattery	6B4423
Flavescent	F7E98E
Flax	EEDC82
Floral White	FFFAF0
Fluorescent Orange	FFBF00
Fluorescent Pink	FF1493
Fluorescent Yellow	CCFF00
Folly	FF004F
Forest Green (Traditional)	014421
Forest Green (Web)	228B22
French Beige	A67B5B
French Bistre	856D4D
French Blue	0072BB
French Lilac	86608E
French Lime	9EFD38
French Mauve	D473D4
French Raspberry	C72C48
French Rose	F64A8A
French Sky Blue	77B5FE
French Wine	AC1E44
Fresh Air	A6E7FF
Fuchsia	FF00FF
Fuchsia (Crayola)	C154C1
Fuchsia Pink	FF77FF
Fuchsia Rose	C74375
Fulvous	E48400
Fuzzy Wuzzy	CC6666
Go Green	00AB66
Gainsboro	DCDCDC
Gamboge	E49B0F
Ghost White	F8F8FF
Giants Orange	FE5A1D
Ginger	B06500
Glaucous	6082B6
Glitter	E6E8FA
Gold (Metallic)	D4AF37
Gold (Web) (Golden)	FFD700
Gold Fusion	85754E
Golden Brown	996515
Golden Poppy	FCC200
Golden Yellow	FFDF00
Goldenrod	DAA520
Granny Smith Apple	A8E4A0
Grape	6F2DA8
Gray	808080
Gray (Html/Css Gray)	808080
Gray (X11 Gray)	BEBEBE
Gray-Asparagus	465945
Gray-Blue	8C92AC
Green (Crayola)	1CAC78
Green (Html/Css Color)	008000
Green (Munsell)	00A877
Green (Ncs)	009F6B
Green (Ryb)	66B032
Green (Color Wheel) (X11 Green)	00FF00
Green (Pigment)	00A550
Green-Yellow	ADFF2F
Grullo	A99A86
Guppie Green	00FF7F
Halayà Úbe	663854
Han Blue	446CCF
Han Purple	5218FA
Hansa Yellow	E9D66B
Harlequin	3FFF00
Harvard Crimson	C90016
Harvest Gold	DA9100
Heart Gold	808000
Heliotrope	DF73FF
Hollywood Cerise	F400A1
Honeydew	F0FFF0
Honolulu Blue	006DB0
Hooker's Green	49796B
Hot Magenta	FF1DCE
Hot Pink	FF69B4
Hunter Green	355E3B
Iceberg	71A6D2
Icterine	FCF75E
Illuminating Emerald	319177
Imperial	602F6B
Imperial Blue	002395
Imperial Purple	66023C
Imperial Red	ED2939
Inchworm	B2EC5D
India Green	138808
Indian Red	CD5C5C
Indian Yellow	E3A857
Indigo	6F00FF
Indigo (Dye)	00416A
Indigo (Web)	4B0082
International Klein Blue	002FA7
International Orange (Golden Gate Bridge)	C0362C
International Orange (Aerospace)	FF4F00
International Orange (Engineering)	BA160C
Iris	5A4FCF
Irresistible	B3446C
Isabelline	F4F0EC
Islamic Green	009000
Italian Sky Blue	B2FFFF
Ivory	FFFFF0
Jade	00A86B
Japanese Indigo	264348
Japanese Violet	5B3256
Jasmine	F8DE7E
Jasper	D73B3E
Jazzberry Jam	A50B5E
Jelly Bean	DA614E
Jet	343434
Jonquil	F4CA16
June Bud	BDDA57
Jungle Green	29AB87
Ku Crimson	E8000D
Kelly Green	4CBB17
Kenyan Copper	7C1C05
Keppel	3AB09E
Khaki (Html/Css) (Khaki)	C3B091
Khaki (X11) (Light Khaki)	F0E68C
Kobe	882D17
Kobi	E79FC4
La Salle Green	087830
Languid Lavender	D6CADD
Lapis Lazuli	26619C
Laser Lemon	FFFF66
Laurel Green	A9BA9D
Lava	CF1020
Lavender (Floral)	B57EDC
Lavender (Web)	E6E6FA
Lavender Blue	CCCCFF
Lavender Blush	FFF0F5
Lavender Gray	C4C3D0
Lavender Indigo	9457EB
Lavender Magenta	EE82EE
Lavender Mist	E6E6FA
Lavender Pink	FBAED2
Lavender Purple	967BB6
Lavender Rose	FBA0E3
Lawn Green	7CFC00
Lemon	FFF700
Lemon Chiffon	FFFACD
Lemon Curry	CCA01D
Lemon Glacier	FDFF00
Lemon Lime	E3FF00
Lemon Meringue	F6EABE
Lemon Yellow	FFF44F
Licorice	1A1110
Light Thulian Pink	E68FAC
Light Apricot	FDD5B1
Light Blue	ADD8E6
Light Brown	B5651D
Light Carmine Pink	E66771
Light Coral	F08080
Light Cornflower Blue	93CCEA
Light Crimson	F56991
Light Cyan	E0FFFF
Light Fuchsia Pink	F984EF
Light Goldenrod Yellow	FAFAD2
Light Gray	D3D3D3
Light Green	90EE90
Light Khaki	F0E68C
Light Medium Orchid	D39BCB
Light Moss Green	ADDFAD
Light Orchid	E6A8D7
Light Pastel Purple	B19CD9
Light Pink	FFB6C1
Light Red Ochre	E97451
Light Salmon	FFA07A
Light Salmon Pink	FF9999
Light Sea Green	20B2AA
Light Sky Blue	87CEFA
Light Slate Gray	778899
Light Steel Blue	B0C4DE
Light Taupe	B38B6D
Light Yellow	FFFFE0
Lilac	C8A2C8
Lime (Color Wheel)	BFFF00
Lime (Web) (X11 Green)	00FF00
Lime Green	32CD32
Limerick	9DC209
Lincoln Green	195905
Linen	FAF0E6
Lion	C19A6B
Little Boy Blue	6CA0DC
Liver	534B4F
Lumber	FFE4CD
Lust	E62020
Msu Green	18453B
Magenta	FF00FF
Magenta (Crayola)	FF55A3
Magenta (Pantone)	D0417E
Magenta (Dye)	CA1F7B
Magenta (Process)	FF0090
Magic Mint	AAF0D1
Magnolia	F8F4FF
Mahogany	C04000
Maize	FBEC5D
Majorelle Blue	6050DC
Malachite	0BDA51
Manatee	979AAA
Mango Tango	FF8243
Mantis	74C365
Mardi Gras	880085
Maroon (Crayola)	C32148
Maroon (Html/Css)	800000
Maroon (X11)	B03060
Mauve	E0B0FF
Mauve Taupe	915F6D
Mauvelous	EF98AA
Maya Blue	73C2FB
Meat Brown	E5B73B
Medium Persian Blue	0067A5
Medium Tuscan Red	79443B
Medium Aquamarine	66DDAA
Medium Blue	0000CD
Medium Candy Apple Red	E2062C
Medium Carmine	AF4035
Medium Champagne	F3E5AB
Medium Electric Blue	035096
Medium Jungle Green	1C352D
Medium Lavender Magenta	DDA0DD
Medium Orchid	BA55D3
Medium Purple	9370DB
Medium Red-Violet	BB3385
Medium Ruby	AA4069
Medium Sea Green	3CB371
Medium Sky Blue	80DAEB
Medium Slate Blue	7B68EE
Medium Spring Bud	C9DC87
Medium Spring Green	00FA9A
Medium Taupe	674C47
Medium Turquoise	48D1CC
Medium Vermilion	D9603B
Medium Violet-Red	C71585
Mellow Apricot	F8B878
Mellow Yellow	F8DE7E
Melon	FDBCB4
Metallic Seaweed	0A7E8C
Metallic Sunburst	9C7C38
Mexican Pink	E4007C
Midnight Blue	191970
Midnight Green (Eagle Green)	004953
Midori	E3F988
Mikado Yellow	FFC40C
Mint	3EB489
Mint Cream	F5FFFA
Mint Green	98FF98
Misty Rose	FFE4E1
Moccasin	FAEBD7
Mode Beige	967117
Moonstone Blue	73A9C2
Mordant Red 19	AE0C00
Moss Green	ADDFAD
Mountain Meadow	30BA8F
Mountbatten Pink	997A8D
Mughal Green	306030
Mulberry	C54B8C
Mustard	FFDB58
Myrtle Green	317873
Nadeshiko Pink	F6ADC6
Napier Green	2A8000
Naples Yellow	FADA5E
Navajo White	FFDEAD
Navy Blue	000080
Navy Purple	9457EB
Neon Carrot	FFA343
Neon Fuchsia	FE4164
Neon Green	39FF14
New Car	214FC6
New York Pink	D7837F
Non-Photo Blue	A4DDED
North Texas Green	059033
Nyanza	E9FFDB
Ou Crimson Red	990000
Ocean Boat Blue	0077BE
Ochre	CC7722
Office Green	008000
Old Burgundy	43302E
Old Gold	CFB53B
Old Lace	FDF5E6
Old Lavender	796878
Old Mauve	673147
Old Moss Green	867E36
Old Rose	C08081
Old Silver	848482
Olive	808000
Olive Drab #7	3C341F
Olive Drab (Web) (Olive Drab #3)	6B8E23
Olivine	9AB973
Onyx	353839
Opera Mauve	B784A7
Orange (Crayola)	FF7538
Orange (Pantone)	FF5800
Orange (Ryb)	FB9902
Orange (Color Wheel)	FF7F00
Orange (Web Color)	FFA500
Orange Peel	FF9F00
Orange-Red	FF4500
Orchid	DA70D6
Orchid Pink	F28DCD
Orioles Orange	FB4F14
Otter Brown	654321
Outer Space	414A4C
Outrageous Orange	FF6E4A
Oxford Blue	002147
Pakistan Green	006600
Palatinate Blue	273BE2
Palatinate Purple	682860
Pale Aqua	BCD4E6
Pale Blue	AFEEEE
Pale Brown	987654
Pale Carmine	AF4035
Pale Cerulean	9BC4E2
Pale Chestnut	DDADAF
Pale Copper	DA8A67
Pale Cornflower Blue	ABCDEF
Pale Gold	E6BE8A
Pale Goldenrod	EEE8AA
Pale Green	98FB98
Pale Lavender	DCD0FF
Pale Magenta	F984E5
Pale Pink	FADADD
Pale Plum	DDA0DD
Pale Red-Violet	DB7093
Pale Robin Egg Blue	96DED1
Pale Silver	C9C0BB
Pale Spring Bud	ECEBBD
Pale Taupe	BC987E
Pale Turquoise	AFEEEE
Pale Violet-Red	DB7093
Pansy Purple	78184A
Papaya Whip	FFEFD5
Paris Green	50C878
Pastel Blue	AEC6CF
Pastel Brown	836953
Pastel Gray	CFCFC4
Pastel Green	77DD77
Pastel Magenta	F49AC2
Pastel Orange	FFB347
Pastel Pink	DEA5A4
Pastel Purple	B39EB5
Pastel Red	FF6961
Pastel Violet	CB99C9
Pastel Yellow	FDFD96
Patriarch	800080
Payne's Gray	536878
Peach	FFE5B4
Peach (Crayola)	FFCBA4
Peach Puff	FFDAB9
Peach-Orange	FFCC99
Peach-Yellow	FADFAD
Pear	D1E231
Pearl	EAE0C8
Pearl Aqua	88D8C0
Pearly Purple	B768A2
Peridot	E6E200
Periwinkle	CCCCFF
Persian Blue	1C39BB
Persian Green	00A693
Persian Indigo	32127A
Persian Orange	D99058
Persian Pink	F77FBE
Persian Plum	701C1C
Persian Red	CC3333
Persian Rose	FE28A2
Persimmon	EC5800
Peru	CD853F
Phlox	DF00FF
Phthalo Blue	000F89
Phthalo Green	123524
Pictorial Carmine	C30B4E
Piggy Pink	FDDDE6
Pine Green	01796F
Pink	FFC0CB
Pink Sherbet	F78FA7
Pink Lace	FFDDF4
Pink Pearl	E7ACCF
Pink-Orange	FF9966
Pistachio	93C572
Platinum	E5E4E2
Plum (Traditional)	8E4585
Plum (Web)	DDA0DD
Pomp And Power	86608E
Portland Orange	FF5A36
Powder Blue (Web)	B0E0E6
Princeton Orange	FF8F00
Prune	701C1C
Prussian Blue	003153
Psychedelic Purple	DF00FF
Puce	CC8899
Pumpkin	FF7518
Purple (Html/Css)	800080
Purple (Munsell)	9F00C5
Purple (X11)	A020F0
Purple Heart	69359C
Purple Mountain Majesty	9678B6
Purple Pizzazz	FE4EDA
Purple Taupe	50404D
Quartz	51484F
Queen Blue	436B95
Queen Pink	E8CCD7
Rackley	5D8AA8
Radical Red	FF355E
Rajah	FBAB60
Raspberry	E30B5D
Raspberry Glace	915F6D
Raspberry Pink	E25098
Raspberry Rose	B3446C
Raw Umber	826644
Razzle Dazzle Rose	FF33CC
Razzmatazz	E3256B
Razzmic Berry	8D4E85
Red	FF0000
Red (Crayola)	EE204D
Red (Munsell)	F2003C
Red (Ncs)	C40233
Red (Pantone)	ED2939
Red (Ryb)	FE2712
Red (Pigment)	ED1C24
Red Devil	860111
Red-Brown	A52A2A
Red-Orange	FF5349
Red-Violet	C71585
Redwood	A45A52
Regalia	522D80
Resolution Blue	002387
Rhythm	777696
Rich Black	004040
Rich Brilliant Lavender	F1A7FE
Rich Carmine	D70040
Rich Electric Blue	0892D0
Rich Lavender	A76BCF
Rich Lilac	B666D2
Rich Maroon	B03060
Rifle Green	444C38
Robin Egg Blue	00CCCC
Rocket Metallic	8A7F80
Roman Silver	838996
Rose	FF007F
Rose Bonbon	F9429E
Rose Ebony	674846
Rose Gold	B76E79
Rose Madder	E32636
Rose Pink	FF66CC
Rose Quartz	AA98A9
Rose Red	C21E56
Rose Taupe	905D5D
Rose Vale	AB4E52
Rosewood	65000B
Rosso Corsa	D40000
Rosy Brown	BC8F8F
Royal Azure	0038A8
Royal Blue (Traditional)	002366
Royal Blue (Web)	4169E1
Royal Fuchsia	CA2C92
Royal Purple	7851A9
Royal Yellow	FADA5E
Ruber	CE4676
Rubine Red	D10056
Ruby	E0115F
Ruby Red	9B111E
Ruddy	FF0028
Ruddy Brown	BB6528
Ruddy Pink	E18E96
Rufous	A81C07
Russet	80461B
Russian Green	679267
Russian Violet	32174D
Rust	B7410E
Rusty Red	DA2C43
Sae/Ece Amber (Color)	FF7E00
Sacramento State Green	00563F
Saddle Brown	8B4513
Safety Orange (Blaze Orange)	FF6700
Safety Yellow	EED202
Saffron	F4C430
Salmon	FF8C69
Salmon Pink	FF91A4
Sand	C2B280
Sand Dune	967117
Sandstorm	ECD540
Sandy Brown	F4A460
Sandy Taupe	967117
Sangria	92000A
Sap Green	507D2A
Sapphire	0F52BA
Sapphire Blue	0067A5
Satin Sheen Gold	CBA135
Scarlet	FF2400
Scarlet (Crayola)	FD0E35
Schauss Pink	FF91AF
School Bus Yellow	FFD800
Screamin' Green	76FF7A
Sea Blue	006994
Sea Green	2E8B57
Seal Brown	321414
Seashell	FFF5EE
Selective Yellow	FFBA00
Sepia	704214
Shadow	8A795D
Shampoo	FFCFF1
Shamrock Green	009E60
Sheen Green	8FD400
Shimmering Blush	D98695
Shocking Pink	FC0FC0
Shocking Pink (Crayola)	FF6FFF
Sienna	882D17
Silver	C0C0C0
Silver Lake Blue	5D89BA
Silver Chalice	ACACAC
Silver Pink	C4AEAD
Silver Sand	BFC1C2
Sinopia	CB410B
Skobeloff	007474
Sky Blue	87CEEB
Sky Magenta	CF71AF
Slate Blue	6A5ACD
Slate Gray	708090
Smalt (Dark Powder Blue)	003399
Smitten	C84186
Smoke	738276
Smokey Topaz	933D41
Smoky Black	100C08
Snow	FFFAFA
Soap	CEC8EF
Sonic Silver	757575
Space Cadet	1D2951
Spanish Bistre	807532
Spanish Carmine	D10047
Spanish Crimson	E51A4C
Spanish Orange	E86100
Spanish Sky Blue	00AAE4
Spartan Crimson	9E1316
Spiro Disco Ball	0FC0FC
Spring Bud	A7FC00
Spring Green	00FF7F
St. Patrick's Blue	23297A
Star Command Blue	007BB8
Steel Blue	4682B4
Steel Pink	CC33CC
Stil De Grain Yellow	FADA5E
Stizza	990000
Stormcloud	4F666A
Straw	E4D96F
Strawberry	FC5A8D
Sunglow	FFCC33
Sunray	E3AB57
Sunset	FAD6A5
Sunset Orange	FD5E53
Super Pink	CF6BA9
Tan	D2B48C
Tangelo	F94D00
Tangerine	F28500
Tangerine Yellow	FFCC00
Tango Pink	E4717A
Taupe	483C32
Taupe Gray	8B8589
Tea Green	D0F0C0
Tea Rose (Orange)	F88379
Tea Rose (Rose)	F4C2C2
Teal	008080
Teal Blue	367588
Teal Deer	99E6B3
Teal Green	00827F
Telemagenta	CF3476
Tenné (Tawny)	CD5700
Terra Cotta	E2725B
Thistle	D8BFD8
Thulian Pink	DE6FA1
Tickle Me Pink	FC89AC
Tiffany Blue	0ABAB5
Tiger's Eye	E08D3C
Timberwolf	DBD7D2
Titanium Yellow	EEE600
Tomato	FF6347
Toolbox	746CC0
Topaz	FFC87C
Tractor Red	FD0E35
Trolley Gray	808080
Tropical Rain Forest	00755E
True Blue	0073CF
Tufts Blue	417DC1
Tulip	FF878D
Tumbleweed	DEAA88
Turkish Rose	B57281
Turquoise	30D5C8
Turquoise Blue	00FFEF
Turquoise Green	A0D6B4
Tuscan	FAD6A5
Tuscan Brown	6F4E37
Tuscan Red	7C4848
Tuscan Tan	A67B5B
Tuscany	C09999
Twilight Lavender	8A496B
Tyrian Purple	66023C
Ua Blue	0033AA
Ua Red	D9004C
Ucla Blue	536895
Ucla Gold	FFB300
Ufo Green	3CD070
Up Forest Green	014421
Up Maroon	7B1113
Usafa Blue	004F98
Usc Cardinal	990000
Usc Gold	FFCC00
Ube	8878C3
Ultra Pink	FF6FFF
Ultramarine	120A8F
Ultramarine Blue	4166F5
Umber	635147
Unbleached Silk	FFDDCA
United Nations Blue	5B92E5
University Of California Gold	B78727
University Of Tennessee Orange	F77F00
Unmellow Yellow	FFFF66
Upsdell Red	AE2029
Urobilin	E1AD21
Utah Crimson	D3003F
Vanilla	F3E5AB
Vanilla Ice	F38FA9
Vegas Gold	C5B358
Venetian Red	C80815
Verdigris	43B3AE
Vermilion (Plochere)	D9603B
Vermilion (Cinnabar)	E34234
Veronica	A020F0
Violet	8F00FF
Violet (Ryb)	8601AF
Violet (Color Wheel)	7F00FF
Violet (Web)	EE82EE
Violet-Blue	324AB2
Violet-Red	F75394
Viridian	40826D
Vivid Auburn	922724
Vivid Burgundy	9F1D35
Vivid Cerise	DA1D81
Vivid Orchid	CC00FF
Vivid Sky Blue	00CCFF
Vivid Tangerine	FFA089
Vivid Violet	9F00FF
Warm Black	004242
Waterspout	A4F4F9
Wenge	645452
Wheat	F5DEB3
White	FFFFFF
White Smoke	F5F5F5
Wild Strawberry	FF43A4
Wild Watermelon	FC6C85
Wild Blue Yonder	A2ADD0
Wild Orchid	D470A2
Windsor Tan	AE6838
Wine	722F37
Wine Dregs	673147
Wisteria	C9A0DC
Wood Brown	C19A6B
Xanadu	738678
Yale Blue	0F4D92
Yankees Blue	1C2841
Yellow	FFFF00
Yellow (Munsell)	EFCC00
Yellow (Ncs)	FFD300
Yellow (Ryb)	FEFE33
Yellow (Process)	FFEF00
Yellow Orange	FFAE42
Yellow Rose	FFF000
Yellow-Green	9ACD32
Zaffre	0014A8
Zinnwaldite Brown	2C1608
Zomp	39A78E
)KIVO" },
    { "Dorvask", 210, u8R"KIVO(
Apple Green	58e24a
Apricot	ffb16d
Aqua	13eac9
Aqua Blue	02d8e9
Aqua Green	12e193
Aqua Marine	2ee8bb
Aquamarine	04d8b2
Army Green	4b5d16
Aubergine	3d0734
Avocado	90b134
Azure	069af3
Baby Blue	a2cffe
Beige	e6daa6
Black	1e1e20
Blue	0343df
Blue Gray	607c8e
Blue Green	137e6d
Blue Purple	5729ce
Blue Violet	5d06e9
Bluish Purple	703be7
Bottle Green	044a05
Brick	a03623
Brick Red	8f1402
Bright Blue	0165fc
Bright Green	01ff07
Bright Pink	fe01b1
Bright Purple	be03fd
Bright Red	ff000d
Bright Violet	ad0afd
Bright Yellow	fffd01
Brown	653700
Burgundy	610023
Burnt Orange	c04e01
Burnt Sienna	b04e0f
Cadet Blue	4e7496
Canary Yellow	fffe40
Cerise	de0c62
Cerulean	0485d1
Cerulean Blue	056eee
Charcoal	343837
Chartreuse	c1f80a
Chocolate	3d1c02
Chocolate Brown	411900
Cobalt	1e488f
Cobalt Blue	030aa7
Coral	fc5a50
Cornflower	6a79f7
Cornflower Blue	5170d7
Cream	ffffc2
Crimson	8c000f
Cyan	00ffff
Dark Blue	00035b
Dark Brown	341c02
Dark Cyan	0a888a
Dark Gray	363737
Dark Green	033500
Dark Lavender	856798
Dark Magenta	960056
Dark Olive	373e02
Dark Orange	c65102
Dark Pink	cb416b
Dark Purple	35063e
Dark Red	840000
Dark Violet	34013f
Dark Yellow	d5b60a
Deep Blue	040273
Deep Purple	36013f
Dusty Rose	c0737a
Eggplant	380835
Electric Blue	0652ff
Electric Green	21fc0d
Emerald	01a049
Emerald Green	028f1e
Evergreen	05472a
Flesh	ffcba4
Fluorescent Green	08ff08
Forest	0b5509
Forest Green	06470c
Fuchsia	ed0dd9
Gold	dbb40c
Golden Yellow	fec615
Goldenrod	fac205
Grape	6c3461
Grass	5cac2d
Grass Green	3f9b0b
Gray	929591
Gray Blue	6b8ba4
Gray Green	789b73
Green	15b01a
Green Blue	06b48b
Green Yellow	c9ff27
Greenish Yellow	cdfd02
Hot Pink	ff028d
Hunter Green	0b4008
Indigo	380282
Jade	1fa774
Jungle Green	048243
Kelly Green	02ab2e
Key Lime	aeff6e
Khaki	aaa662
Lavender	c79fef
Leaf Green	5ca904
Lemon	fdff52
Lemon Lime	bffe28
Lemon Yellow	fdff38
Light Blue	95d0fc
Light Brown	ad8150
Light Cyan	acfffc
Light Gray	d8dcd6
Light Green	96f97b
Light Orange	fdaa48
Light Pink	ffd1df
Light Purple	bf77f6
Light Teal	90e4c1
Light Turquoise	7ef4cc
Light Violet	d6b4fc
Light Yellow	fffe7a
Lilac	cea2fd
Lime	aaff32
Lime Green	89fe05
Magenta	c20078
Marine Blue	01386a
Maroon	650021
Mauve	ae7181
Medium Blue	2c6fbb
Medium Brown	7f5112
Medium Green	39ad48
Midnight Blue	020035
Mint	9ffeb0
Mint Green	8fff9f
Mocha	9d7651
Moss	769958
Moss Green	658b38
Mustard	ceb301
Mustard Yellow	d2bd0a
Navy	01153e
Navy Blue	001146
Neon Green	0cff0c
Ocean Blue	03719c
Ochre	bf9005
Olive	6e750e
Olive Green	677a04
Orange	f97306
Orange Red	fd411e
Orchid	c875c4
Pale Blue	d0fefe
Pale Green	c7fdb5
Pale Pink	ffcfdc
Pale Yellow	ffff84
Pastel Green	b0ff9d
Pastel Pink	ffbacd
Pea Green	8eab12
Peach	ffb07c
Periwinkle	8e82fe
Periwinkle Blue	8f99fb
Pine	2b5d34
Pine Green	0a481e
Pink	ff81c0
Pistachio	c0fa8b
Plum	580f41
Powder Blue	b1d1fc
Puce	a57e52
Pumpkin	e17701
Purple	7e1e9c
Purple Blue	632de9
Raspberry	b00149
Red	d8232c
Red Brown	8b2e16
Red Orange	fd3c06
Reddish Brown	7f2b0a
Rose	cf6275
Rose Pink	f7879a
Royal Blue	0504aa
Royal Purple	4b006e
Rust	a83c09
Sage	87ae73
Sage Green	88b378
Salmon	ff796c
Salmon Pink	fe7b7c
Sand	e2ca76
Scarlet	be0119
Sea Blue	047495
Sea Foam	80f9ad
Sea Foam Green	7af9ab
Sea Green	53fca1
Sienna	a9561e
Sky	82cafc
Sky Blue	75bbfd
Slate	516572
Slate Blue	5b7c99
Spring Green	a9f971
Steel Blue	5a7d9a
Sunshine Yellow	fffd37
Tan	d1b26f
Tangerine	ff9408
Taupe	b9a281
Teal	029386
Teal Blue	01889f
Terracotta	ca6641
True Blue	010fcc
Turquoise	06c2ac
Violet	9a0eea
Violet Blue	510ac9
Watermelon	fd4659
White	f9fdf3
Wine	80013f
Yellow	ffff14
Yellow Green	c0fb2d
Yellow Orange	fcb001
Yellowish Green	b0dd16
)KIVO" },
    { "xkcd", 900, u8R"KIVO(
Acid Green	8ffe09
Adobe	bd6c48
Algae	54ac68
Algae Green	21c36f
Almost Black	070d0d
Amber	feb308
Amethyst	9b5fc0
Apple	6ecb3c
Apple Green	76cd26
Apricot	ffb16d
Aqua	13eac9
Aqua Blue	02d8e9
Aqua Green	12e193
Aqua Marine	2ee8bb
Aquamarine	04d8b2
Army Green	4b5d16
Asparagus	77ab56
Aubergine	3d0734
Auburn	9a3001
Avocado	90b134
Avocado Green	87a922
Azul	1d5dec
Azure	069af3
Baby Blue	a2cffe
Baby Green	8cff9e
Baby Pink	ffb7ce
Baby Poo	ab9004
Baby Poop	937c00
Baby Poop Brown	ad900d
Baby Poop Green	8f9805
Baby Puke Green	b6c406
Baby Purple	ca9bf7
Banana	ffff7e
Banana Yellow	fafe4b
Barbie Pink	fe46a5
Barf Green	94ac02
Barney	ac1db8
Barney Purple	a00498
Battleship Gray	6b7c85
Beige	e6daa6
Berry	990f4b
Bile	b5c306
Black	000000
Bland	afa88b
Blood	770001
Blood Orange	fe4b03
Blood Red	980002
Blue	0343df
Blue Blue	2242c7
Blue Gray	607c8e
Blue Green	137e6d
Blue Purple	5729ce
Blue Violet	5d06e9
Blue With A Hint Of Purple	533cc6
Blue/Gray	758da3
Blue/Green	0f9b8e
Blue/Purple	5a06ef
Blueberry	464196
Bluish	2976bb
Bluish Gray	748b97
Bluish Green	10a674
Bluish Purple	703be7
Blurple	5539cc
Blush	f29e8e
Blush Pink	fe828c
Booger	9bb53c
Booger Green	96b403
Bordeaux	7b002c
Boring Green	63b365
Bottle Green	044a05
Brick	a03623
Brick Orange	c14a09
Brick Red	8f1402
Bright Aqua	0bf9ea
Bright Blue	0165fc
Bright Cyan	41fdfe
Bright Green	01ff07
Bright Lavender	c760ff
Bright Light Blue	26f7fd
Bright Light Green	2dfe54
Bright Lilac	c95efb
Bright Lime	87fd05
Bright Lime Green	65fe08
Bright Magenta	ff08e8
Bright Olive	9cbb04
Bright Orange	ff5b00
Bright Pink	fe01b1
Bright Purple	be03fd
Bright Red	ff000d
Bright Sea Green	05ffa6
Bright Sky Blue	02ccfe
Bright Teal	01f9c6
Bright Turquoise	0ffef9
Bright Violet	ad0afd
Bright Yellow	fffd01
Bright Yellow Green	9dff00
British Racing Green	05480d
Bronze	a87900
Brown	653700
Brown Gray	8d8468
Brown Green	706c11
Brown Orange	b96902
Brown Red	922b05
Brown Yellow	b29705
Brownish	9c6d57
Brownish Gray	86775f
Brownish Green	6a6e09
Brownish Orange	cb7723
Brownish Pink	c27e79
Brownish Purple	76424e
Brownish Red	9e3623
Brownish Yellow	c9b003
Browny Green	6f6c0a
Browny Orange	ca6b02
Bruise	7e4071
Bubble Gum Pink	ff69af
Bubblegum	ff6cb5
Bubblegum Pink	fe83cc
Buff	fef69e
Burgundy	610023
Burnt Orange	c04e01
Burnt Red	9f2305
Burnt Siena	b75203
Burnt Sienna	b04e0f
Burnt Umber	a0450e
Burnt Yellow	d5ab09
Burple	6832e3
Butter	ffff81
Butter Yellow	fffd74
Butterscotch	fdb147
Cadet Blue	4e7496
Camel	c69f59
Camo	7f8f4e
Camo Green	526525
Camouflage Green	4b6113
Canary	fdff63
Canary Yellow	fffe40
Candy Pink	ff63e9
Caramel	af6f09
Carmine	9d0216
Carnation	fd798f
Carnation Pink	ff7fa7
Carolina Blue	8ab8fe
Celadon	befdb7
Celery	c1fd95
Cement	a5a391
Cerise	de0c62
Cerulean	0485d1
Cerulean Blue	056eee
Charcoal	343837
Charcoal Gray	3c4142
Chartreuse	c1f80a
Cherry	cf0234
Cherry Red	f7022a
Chestnut	742802
Chocolate	3d1c02
Chocolate Brown	411900
Cinnamon	ac4f06
Claret	680018
Clay	b66a50
Clay Brown	b2713d
Clear Blue	247afd
Cloudy Blue	acc2d9
Cobalt	1e488f
Cobalt Blue	030aa7
Cocoa	875f42
Coffee	a6814c
Cool Blue	4984b8
Cool Gray	95a3a6
Cool Green	33b864
Copper	b66325
Coral	fc5a50
Coral Pink	ff6163
Cornflower	6a79f7
Cornflower Blue	5170d7
Cranberry	9e003a
Cream	ffffc2
Creme	ffffb6
Crimson	8c000f
Custard	fffd78
Cyan	00ffff
Dandelion	fedf08
Dark	1b2431
Dark Aqua	05696b
Dark Aquamarine	017371
Dark Beige	ac9362
Dark Blue	00035b
Dark Blue Gray	1f3b4d
Dark Blue Green	005249
Dark Brown	341c02
Dark Coral	cf524e
Dark Cream	fff39a
Dark Cyan	0a888a
Dark Forest Green	002d04
Dark Fuchsia	9d0759
Dark Gold	b59410
Dark Grass Green	388004
Dark Gray	363737
Dark Gray Blue	29465b
Dark Green	033500
Dark Green Blue	1f6357
Dark Hot Pink	d90166
Dark Indigo	1f0954
Dark Khaki	9b8f55
Dark Lavender	856798
Dark Lilac	9c6da5
Dark Lime	84b701
Dark Lime Green	7ebd01
Dark Magenta	960056
Dark Maroon	3c0008
Dark Mauve	874c62
Dark Mint	48c072
Dark Mint Green	20c073
Dark Mustard	a88905
Dark Navy	000435
Dark Navy Blue	00022e
Dark Olive	373e02
Dark Olive Green	3c4d03
Dark Orange	c65102
Dark Pastel Green	56ae57
Dark Peach	de7e5d
Dark Periwinkle	665fd1
Dark Pink	cb416b
Dark Plum	3f012c
Dark Purple	35063e
Dark Red	840000
Dark Rose	b5485d
Dark Royal Blue	02066f
Dark Sage	598556
Dark Salmon	c85a53
Dark Sand	a88f59
Dark Sea Foam	1fb57a
Dark Sea Foam Green	3eaf76
Dark Sea Green	11875d
Dark Sky Blue	448ee4
Dark Slate Blue	214761
Dark Tan	af884a
Dark Taupe	7f684e
Dark Teal	014d4e
Dark Turquoise	045c5a
Dark Violet	34013f
Dark Yellow	d5b60a
Dark Yellow Green	728f02
Darkish Blue	014182
Darkish Green	287c37
Darkish Pink	da467d
Darkish Purple	751973
Darkish Red	a90308
Deep Aqua	08787f
Deep Blue	040273
Deep Brown	410200
Deep Green	02590f
Deep Lavender	8d5eb7
Deep Lilac	966ebd
Deep Magenta	a0025c
Deep Orange	dc4d01
Deep Pink	cb0162
Deep Purple	36013f
Deep Red	9a0200
Deep Rose	c74767
Deep Sea Blue	015482
Deep Sky Blue	0d75f8
Deep Teal	00555a
Deep Turquoise	017374
Deep Violet	490648
Denim	3b638c
Denim Blue	3b5b92
Desert	ccad60
Diarrhea	9f8303
Dirt	8a6e45
Dirt Brown	836539
Dirty Blue	3f829d
Dirty Green	667e2c
Dirty Orange	c87606
Dirty Pink	ca7b80
Dirty Purple	734a65
Dirty Yellow	cdc50a
Dodger Blue	3e82fc
Drab	828344
Drab Green	749551
Dried Blood	4b0101
Duck Egg Blue	c3fbf4
Dull Blue	49759c
Dull Brown	876e4b
Dull Green	74a662
Dull Orange	d8863b
Dull Pink	d5869d
Dull Purple	84597e
Dull Red	bb3f3f
Dull Teal	5f9e8f
Dull Yellow	eedc5b
Dusk	4e5481
Dusk Blue	26538d
Dusky Blue	475f94
Dusky Pink	cc7a8b
Dusky Purple	895b7b
Dusky Rose	ba6873
Dust	b2996e
Dusty Blue	5a86ad
Dusty Green	76a973
Dusty Lavender	ac86a8
Dusty Orange	f0833a
Dusty Pink	d58a94
Dusty Purple	825f87
Dusty Red	b9484e
Dusty Rose	c0737a
Dusty Teal	4c9085
Earth	a2653e
Easter Green	8cfd7e
Easter Purple	c071fe
Ecru	feffca
Egg Shell	fffcc4
Eggplant	380835
Eggplant Purple	430541
Eggshell	ffffd4
Eggshell Blue	c4fff7
Electric Blue	0652ff
Electric Green	21fc0d
Electric Lime	a8ff04
Electric Pink	ff0490
Electric Purple	aa23ff
Emerald	01a049
Emerald Green	028f1e
Evergreen	05472a
Faded Blue	658cbb
Faded Green	7bb274
Faded Orange	f0944d
Faded Pink	de9dac
Faded Purple	916e99
Faded Red	d3494e
Faded Yellow	feff7f
Fawn	cfaf7b
Fern	63a950
Fern Green	548d44
Fire Engine Red	fe0002
Flat Blue	3c73a8
Flat Green	699d4c
Fluorescent Green	08ff08
Foam Green	90fda9
Forest	0b5509
Forest Green	06470c
Forrest Green	154406
French Blue	436bad
Fresh Green	69d84f
Frog Green	58bc08
Fuchsia	ed0dd9
Gold	dbb40c
Golden	f5bf03
Golden Brown	b27a01
Golden Rod	f9bc08
Golden Yellow	fec615
Goldenrod	fac205
Grape	6c3461
Grape Purple	5d1451
Grapefruit	fd5956
Grass	5cac2d
Grass Green	3f9b0b
Grassy Green	419c03
Gray	929591
Gray Blue	6b8ba4
Gray Brown	7f7053
Gray Green	789b73
Gray Pink	c3909b
Gray Purple	826d8c
Gray Teal	5e9b8a
Gray/Blue	647d8e
Gray/Green	86a17d
Grayish	a8a495
Green	15b01a
Green Apple	5edc1f
Green Blue	06b48b
Green Brown	544e03
Green Gray	77926f
Green Teal	0cb577
Green Yellow	c9ff27
Green/Blue	01c08d
Green/Yellow	b5ce08
Greenish	40a368
Greenish Beige	c9d179
Greenish Blue	0b8b87
Greenish Brown	696112
Greenish Cyan	2afeb7
Greenish Gray	96ae8d
Greenish Tan	bccb7a
Greenish Teal	32bf84
Greenish Turquoise	00fbb0
Greenish Yellow	cdfd02
Gross Green	a0bf16
Gunmetal	536267
Hazel	8e7618
Heather	a484ac
Heliotrope	d94ff5
Highlighter Green	1bfc06
Hospital Green	9be5aa
Hot Green	25ff29
Hot Magenta	f504c9
Hot Pink	ff028d
Hot Purple	cb00f5
Hunter Green	0b4008
Ice	d6fffa
Ice Blue	d7fffe
Icky Green	8fae22
Indian Red	850e04
Indigo	380282
Indigo Blue	3a18b1
Iris	6258c4
Irish Green	019529
Ivory	ffffcb
Jade	1fa774
Jade Green	2baf6a
Jungle Green	048243
Kelley Green	009337
Kelly Green	02ab2e
Kermit Green	5cb200
Key Lime	aeff6e
Khaki	aaa662
Khaki Green	728639
Kiwi	9cef43
Kiwi Green	8ee53f
Lavender	c79fef
Lavender Blue	8b88f8
Lavender Pink	dd85d7
Lawn Green	4da409
Leaf	71aa34
Leaf Green	5ca904
Leafy Green	51b73b
Leather	ac7434
Lemon	fdff52
Lemon Green	adf802
Lemon Lime	bffe28
Lemon Yellow	fdff38
Lichen	8fb67b
Light Aqua	8cffdb
Light Aquamarine	7bfdc7
Light Beige	fffeb6
Light Blue	95d0fc
Light Blue Gray	b7c9e2
Light Blue Green	7efbb3
Light Bluish Green	76fda8
Light Bright Green	53fe5c
Light Brown	ad8150
Light Burgundy	a8415b
Light Cyan	acfffc
Light Eggplant	894585
Light Forest Green	4f9153
Light Gold	fddc5c
Light Grass Green	9af764
Light Gray	d8dcd6
Light Gray Blue	9dbcd4
Light Gray Green	b7e1a1
Light Green	96f97b
Light Green Blue	56fca2
Light Greenish Blue	63f7b4
Light Indigo	6d5acf
Light Khaki	e6f2a2
Light Lavender	dfc5fe
Light Light Blue	cafffb
Light Light Green	c8ffb0
Light Lilac	edc8ff
Light Lime	aefd6c
Light Lime Green	b9ff66
Light Magenta	fa5ff7
Light Maroon	a24857
Light Mauve	c292a1
Light Mint	b6ffbb
Light Mint Green	a6fbb2
Light Moss Green	a6c875
Light Mustard	f7d560
Light Navy	155084
Light Navy Blue	2e5a88
Light Neon Green	4efd54
Light Olive	acbf69
Light Olive Green	a4be5c
Light Orange	fdaa48
Light Pastel Green	b2fba5
Light Pea Green	c4fe82
Light Peach	ffd8b1
Light Periwinkle	c1c6fc
Light Pink	ffd1df
Light Plum	9d5783
Light Purple	bf77f6
Light Red	ff474c
Light Rose	ffc5cb
Light Royal Blue	3a2efe
Light Sage	bcecac
Light Salmon	fea993
Light Sea Foam	a0febf
Light Sea Foam Green	a7ffb5
Light Sea Green	98f6b0
Light Sky Blue	c6fcff
Light Tan	fbeeac
Light Teal	90e4c1
Light Turquoise	7ef4cc
Light Violet	d6b4fc
Light Yellow	fffe7a
Light Yellow Green	ccfd7f
Light Yellowish Green	c2ff89
Lighter Green	75fd63
Lighter Purple	a55af4
Lightish Blue	3d7afd
Lightish Green	61e160
Lightish Purple	a552e6
Lightish Red	fe2f4a
Lilac	cea2fd
Lime	aaff32
Lime Green	89fe05
Lime Yellow	d0fe1d
Lipstick	d5174e
Lipstick Red	c0022f
Macaroni And Cheese	efb435
Magenta	c20078
Mahogany	4a0100
Maize	f4d054
Mango	ffa62b
Manilla	fffa86
Marigold	fcc006
Marine	042e60
Marine Blue	01386a
Maroon	650021
Mauve	ae7181
Medium Blue	2c6fbb
Medium Brown	7f5112
Medium Gray	7d7f7c
Medium Green	39ad48
Medium Pink	f36196
Medium Purple	9e43a2
Melon	ff7855
Merlot	730039
Metallic Blue	4f738e
Mid Blue	276ab3
Mid Green	50a747
Midnight	03012d
Midnight Blue	020035
Midnight Purple	280137
Military Green	667c3e
Milk Chocolate	7f4e1e
Mint	9ffeb0
Mint Green	8fff9f
Minty Green	0bf77d
Mocha	9d7651
Moss	769958
Moss Green	658b38
Mossy Green	638b27
Mud	735c12
Mud Brown	60460f
Mud Green	606602
Muddy Brown	886806
Muddy Green	657432
Muddy Yellow	bfac05
Mulberry	920a4e
Murky Green	6c7a0e
Mushroom	ba9e88
Mustard	ceb301
Mustard Brown	ac7e04
Mustard Green	a8b504
Mustard Yellow	d2bd0a
Muted Blue	3b719f
Muted Green	5fa052
Muted Pink	d1768f
Muted Purple	805b87
Nasty Green	70b23f
Navy	01153e
Navy Blue	001146
Navy Green	35530a
Neon Blue	04d9ff
Neon Green	0cff0c
Neon Pink	fe019a
Neon Purple	bc13fe
Neon Red	ff073a
Neon Yellow	cfff04
Nice Blue	107ab0
Night Blue	040348
Ocean	017b92
Ocean Blue	03719c
Ocean Green	3d9973
Ocher	bf9b0c
Ochre	bf9005
Off Blue	5684ae
Off Green	6ba353
Off White	ffffe4
Off Yellow	f1f33f
Old Pink	c77986
Old Rose	c87f89
Olive	6e750e
Olive Brown	645403
Olive Drab	6f7632
Olive Green	677a04
Olive Yellow	c2b709
Orange	f97306
Orange Brown	be6400
Orange Pink	ff6f52
Orange Red	fd411e
Orange Yellow	ffad01
Orangeish	fd8d49
Orangey Brown	b16002
Orangey Red	fa4224
Orangey Yellow	fdb915
Orangish	fc824a
Orangish Brown	b25f03
Orangish Red	f43605
Orchid	c875c4
Pale	fff9d0
Pale Aqua	b8ffeb
Pale Blue	d0fefe
Pale Brown	b1916e
Pale Cyan	b7fffa
Pale Gold	fdde6c
Pale Gray	fdfdfe
Pale Green	c7fdb5
Pale Lavender	eecffe
Pale Light Green	b1fc99
Pale Lilac	e4cbff
Pale Lime	befd73
Pale Lime Green	b1ff65
Pale Magenta	d767ad
Pale Mauve	fed0fc
Pale Olive	b9cc81
Pale Olive Green	b1d27b
Pale Orange	ffa756
Pale Peach	ffe5ad
Pale Pink	ffcfdc
Pale Purple	b790d4
Pale Red	d9544d
Pale Rose	fdc1c5
Pale Salmon	ffb19a
Pale Sky Blue	bdf6fe
Pale Teal	82cbb2
Pale Turquoise	a5fbd5
Pale Violet	ceaefa
Pale Yellow	ffff84
Parchment	fefcaf
Pastel Blue	a2bffe
Pastel Green	b0ff9d
Pastel Orange	ff964f
Pastel Pink	ffbacd
Pastel Purple	caa0ff
Pastel Red	db5856
Pastel Yellow	fffe71
Pea	a4bf20
Pea Green	8eab12
Pea Soup	929901
Pea Soup Green	94a617
Peach	ffb07c
Peachy Pink	ff9a8a
Peacock Blue	016795
Pear	cbf85f
Periwinkle	8e82fe
Periwinkle Blue	8f99fb
Petrol	005f6a
Pig Pink	e78ea5
Pine	2b5d34
Pine Green	0a481e
Pink	ff81c0
Pink Purple	db4bda
Pink Red	f5054f
Pink/Purple	ef1de7
Pinkish	d46a7e
Pinkish Brown	b17261
Pinkish Gray	c8aca9
Pinkish Orange	ff724c
Pinkish Purple	d648d7
Pinkish Red	f10c45
Pinkish Tan	d99b82
Pinky	fc86aa
Pinky Purple	c94cbe
Pinky Red	fc2647
Piss Yellow	ddd618
Pistachio	c0fa8b
Plum	580f41
Plum Purple	4e0550
Poison Green	40fd14
Poo	8f7303
Poo Brown	885f01
Poop	7f5e00
Poop Brown	7a5901
Poop Green	6f7c00
Powder Blue	b1d1fc
Powder Pink	ffb2d0
Primary Blue	0804f9
Prussian Blue	004577
Puce	a57e52
Puke	a5a502
Puke Brown	947706
Puke Green	9aae07
Puke Yellow	c2be0e
Pumpkin	e17701
Pumpkin Orange	fb7d07
Pure Blue	0203e2
Purple	7e1e9c
Purple Blue	632de9
Purple Brown	673a3f
Purple Gray	866f85
Purple Pink	e03fd8
Purple Red	990147
Purple/Blue	5d21d0
Purple/Pink	d725de
Purpleish	98568d
Purplish	94568c
Purply	983fb2
Purply Blue	661aee
Purply Pink	f075e6
Putty	beae8a
Racing Green	014600
Radioactive Green	2cfa1f
Raspberry	b00149
Raw Sienna	9a6200
Raw Umber	a75e09
Really Light Blue	d4ffff
Red	e50000
Red Brown	8b2e16
Red Orange	fd3c06
Red Pink	fa2a55
Red Purple	820747
Red Violet	9e0168
Red Wine	8c0034
Reddish	c44240
Reddish Brown	7f2b0a
Reddish Gray	997570
Reddish Orange	f8481c
Reddish Pink	fe2c54
Reddish Purple	910951
Reddy Brown	6e1005
Rich Blue	021bf9
Rich Purple	720058
Robin Egg Blue	8af1fe
Robin's Egg	6dedfd
Robin's Egg Blue	98eff9
Rosa	fe86a4
Rose	cf6275
Rose Pink	f7879a
Rose Red	be013c
Rosy Pink	f6688e
Rouge	ab1239
Royal	0c1793
Royal Blue	0504aa
Royal Purple	4b006e
Ruby	ca0147
Russet	a13905
Rust	a83c09
Rust Brown	8b3103
Rust Orange	c45508
Rust Red	aa2704
Rusty Orange	cd5909
Rusty Red	af2f0d
Saffron	feb209
Sage	87ae73
Sage Green	88b378
Salmon	ff796c
Salmon Pink	fe7b7c
Sand	e2ca76
Sand Brown	cba560
Sand Yellow	fce166
Sandstone	c9ae74
Sandy	f1da7a
Sandy Brown	c4a661
Sandy Yellow	fdee73
Sap Green	5c8b15
Sapphire	2138ab
Scarlet	be0119
Sea	3c9992
Sea Blue	047495
Sea Foam	80f9ad
Sea Foam Blue	78d1b6
Sea Foam Green	7af9ab
Sea Green	53fca1
Seaweed	18d17b
Seaweed Green	35ad6b
Sepia	985e2b
Shamrock	01b44c
Shamrock Green	02c14d
Shocking Pink	fe02a2
Sick Green	9db92c
Sickly Green	94b21c
Sickly Yellow	d0e429
Sienna	a9561e
Silver	c5c9c7
Sky	82cafc
Sky Blue	75bbfd
Slate	516572
Slate Blue	5b7c99
Slate Gray	59656d
Slate Green	658d6d
Slime Green	99cc04
Snot	acbb0d
Snot Green	9dc100
Soft Blue	6488ea
Soft Green	6fc276
Soft Pink	fdb0c0
Soft Purple	a66fb5
Spearmint	1ef876
Spring Green	a9f971
Spruce	0a5f38
Squash	f2ab15
Steel	738595
Steel Blue	5a7d9a
Steel Gray	6f828a
Stone	ada587
Stormy Blue	507b9c
Straw	fcf679
Strawberry	fb2943
Strong Blue	0c06f7
Strong Pink	ff0789
Sun Yellow	ffdf22
Sunflower	ffc512
Sunflower Yellow	ffda03
Sunny Yellow	fff917
Sunshine Yellow	fffd37
Swamp	698339
Swamp Green	748500
Tan	d1b26f
Tan Brown	ab7e4c
Tan Green	a9be70
Tangerine	ff9408
Taupe	b9a281
Tea	65ab7c
Tea Green	bdf8a3
Teal	029386
Teal Blue	01889f
Teal Green	25a36f
Terra Cotta	c9643b
Tiffany Blue	7bf2da
Tomato	ef4026
Tomato Red	ec2d01
Topaz	13bbaf
Toxic Green	61de2a
Tree Green	2a7e19
True Blue	010fcc
True Green	089404
Turquoise	06c2ac
Turquoise Blue	06b1c4
Turquoise Green	04f489
Turtle Green	75b84f
Twilight	4e518b
Twilight Blue	0a437a
Ugly Blue	31668a
Ugly Brown	7d7103
Ugly Green	7a9703
Ugly Pink	cd7584
Ugly Purple	a442a0
Ugly Yellow	d0c101
Ultramarine	2000b1
Ultramarine Blue	1805db
Umber	b26400
Velvet	750851
Vermillion	f4320c
Very Dark Blue	000133
Very Dark Brown	1d0200
Very Dark Green	062e03
Very Dark Purple	2a0134
Very Light Blue	d5ffff
Very Light Brown	d3b683
Very Light Green	d1ffbd
Very Light Pink	fff4f2
Very Light Purple	f6cefc
Very Pale Blue	d6fffe
Very Pale Green	cffdbc
Vibrant Blue	0339f8
Vibrant Green	0add08
Vibrant Purple	ad03de
Violet	9a0eea
Violet Blue	510ac9
Violet Pink	fb5ffc
Violet Red	a50055
Viridian	1e9167
Vivid Blue	152eff
Vivid Green	2fef10
Vivid Purple	9900fa
Vomit	a2a415
Vomit Green	89a203
Vomit Yellow	c7c10c
Warm Blue	4b57db
Warm Brown	964e02
Warm Gray	978a84
Warm Pink	fb5581
Warm Purple	952e8f
Washed Out Green	bcf5a6
Water Blue	0e87cc
Watermelon	fd4659
Weird Green	3ae57f
Wheat	fbdd7e
White	ffffff
Windows Blue	3778bf
Wine	80013f
Wine Red	7b0323
Wintergreen	20f986
Wisteria	a87dc2
Yellow	ffff14
Yellow Brown	b79400
Yellow Green	c0fb2d
Yellow Ochre	cb9d06
Yellow Orange	fcb001
Yellow Tan	ffe36e
Yellow/Green	c8fd3d
Yellowish	faee66
Yellowish Brown	9b7a01
Yellowish Green	b0dd16
Yellowish Orange	ffab0f
Yellowish Tan	fcfc81
Yellowy Brown	ae8b0c
Yellowy Green	bff128
)KIVO" },
    { "PseudoPantone", 907, u8R"KIVO(
100C	#F3ED86
101C	#F4ED47
102C	#FAE600
103C	#C6AD0F
104C	#AD9B0C
105C	#82750F
106C	#F7E859
107C	#F9E526
108C	#F7DD16
109C	#F9D616
110C	#D8B511
111C	#AA930A
112C	#99840A
113C	#F9E55B
114C	#F9E24C
115C	#F9E04C
116C	#FCD116
117C	#C6A00C
118C	#AA8E0A
119C	#897719
120C	#F9E27F
121C	#F9E070
122C	#FCD856
123C	#FFC61E
124C	#E0AA0F
125C	#B58C0A
126C	#A37F14
127C	#F4E287
128C	#F4DB60
129C	#F2D13D
130C	#EAAF0F
131C	#C6930A
132C	#9E7C0A
133C	#705B0A
134C	#FFD87F
135C	#FCC93D
136C	#FCB827
137C	#FCA311
138C	#D88C02
139C	#AF7505
140C	#7A5B11
141C	#F2CE68
142C	#F2BF49
143C	#EFB22D
144C	#E28C05
145C	#C67F07
146C	#9E6B05
147C	#725E26
148C	#FFD69B
149C	#FCCC93
150C	#FCAD56
151C	#F77F00
152C	#DD7500
153C	#BC6F0A
154C	#995905
155C	#F4DBAA
156C	#F2C68C
157C	#EDA04F
158C	#E87511
159C	#C66005
160C	#9E540A
161C	#633A11
162C	#F9C6AA
163C	#FC9E70
164C	#FC7F3F
165C	#F96302
166C	#DD5900
167C	#BC4F07
168C	#6D3011
169C	#F9BAAA
170C	#F98972
171C	#F9603A
172C	#F74902
173C	#D14414
174C	#933311
175C	#6D3321
176C	#F9AFAD
177C	#F9827F
178C	#F95E59
179C	#E23D28
180C	#C13828
181C	#7C2D23
182C	#F9BFC1
183C	#FC8C99
184C	#FC5E72
185C	#E8112D
186C	#CE1126
187C	#AF1E2D
188C	#7C2128
189C	#FFA3B2
190C	#FC758E
191C	#F4476B
192C	#E5053A
193C	#BF0A30
194C	#992135
196C	#F4C9C9
197C	#EF99A3
198C	#E5566D
199C	#D81C3F
200C	#C41E3A
201C	#A32638
202C	#8C2633
203C	#F2AFC1
204C	#ED7A9E
205C	#E54C7C
206C	#D30547
207C	#AF003D
208C	#8E2344
209C	#75263D
210C	#FFA0BF
211C	#FF77A8
212C	#F94F8E
213C	#EA0F6B
214C	#CC0256
215C	#A5054F
216C	#7C1E3F
217C	#F4BFD1
218C	#ED72AA
219C	#E22882
220C	#AA004F
221C	#930042
222C	#70193D
223C	#F993C4
224C	#F46BAF
225C	#ED2893
226C	#D6026D
227C	#AD005B
228C	#8C004C
229C	#6D213F
230C	#FFA0CC
231C	#FC70BA
232C	#F43FA5
233C	#CE007C
234C	#AA0066
235C	#8E0554
236C	#F9AFD3
237C	#F484C4
238C	#ED4FAF
239C	#E0219E
240C	#C40F89
241C	#AD0075
242C	#7C1C51
243C	#F2BAD8
244C	#EDA0D3
245C	#E87FC9
246C	#CC00A0
247C	#B7008E
248C	#A3057F
249C	#7F2860
250C	#EDC4DD
251C	#E29ED6
252C	#D36BC6
253C	#AF23A5
254C	#A02D96
255C	#772D6B
256C	#E5C4D6
257C	#D3A5C9
258C	#9B4F96
259C	#72166B
260C	#681E5B
261C	#5E2154
262C	#4F2144
263C	#E0CEE0
264C	#C6AADB
265C	#9663C4
266C	#6D28AA
267C	#59118E
268C	#4F2170
269C	#442359
270C	#BAAFD3
271C	#9E91C6
272C	#8977BA
273C	#38197A
274C	#2B1166
275C	#260F54
276C	#2B2147
277C	A9C7EC
278C	#99BADD
279C	#6689CC
280C	#002B7F
281C	#002868
282C	#002654
283C	#9BC4E2
284C	#75AADB
285C	#3A75C4
286C	#0038A8
287C	#003893
288C	#00337F
289C	#002649
290C	#C4D8E2
291C	#A8CEE2
292C	#75B2DD
293C	#0051BA
294C	#003F87
295C	#00386B
296C	#002D47
297C	#82C6E2
298C	#51B5E0
299C	#00A3DD
300C	#0072C6
301C	#005B99
302C	#004F6D
303C	#003F54
304C	#A5DDE2
305C	#70CEE2
306C	#00BCE2
307C	#007AA5
308C	#00607C
309C	#003F49
310C	#72D1DD
311C	#28C4D8
312C	#00ADC6
313C	#0099B5
314C	#0082A0
315C	#006B77
316C	#00494F
317C	#C9E8DD
318C	#93DDDB
319C	#4CCED1
320C	#009EA0
321C	#008789
322C	#007272
323C	#006663
324C	#AADDD6
325C	#56C9C1
326C	#00B2AA
327C	#008C82
328C	#007770
329C	#006D66
330C	#005951
331C	#BAEAD6
332C	#A0E5CE
333C	#5EDDC1
334C	#00997C
335C	#007C66
336C	#006854
337C	#9BDBC1
338C	#7AD1B5
339C	#00B28C
340C	#009977
341C	#007A5E
342C	#006B54
343C	#00563F
344C	#B5E2BF
345C	#96D8AF
346C	#70CE9B
347C	#009E60
348C	#008751
349C	#006B3F
350C	#234F33
351C	#B5E8BF
352C	#99E5B2
353C	#84E2A8
354C	#00B760
355C	#009E49
356C	#007A3D
357C	#215B33
358C	#AADD96
359C	#A0DB8E
360C	#60C659
361C	#1EB53A
362C	#339E35
363C	#3D8E33
364C	#3A7728
365C	#D3E8A3
366C	#C4E58E
367C	#AADD6D
368C	#5BBF21
369C	#56AA1C
370C	#567C1E
371C	#566B21
372C	#D8ED96
373C	#CEEA82
374C	#BAE860
375C	#8CD600
376C	#7FBA00
377C	#709302
378C	#566314
379C	#E0EA68
380C	#D6E542
381C	#CCE226
382C	#BAD80A
383C	#A3AF07
384C	#939905
385C	#707014
386C	#E8ED60
387C	#E0ED44
388C	#D6E80F
389C	#CEE007
390C	#BAC405
391C	#9E9E07
392C	#848205
393C	#F2EF87
394C	#EAED35
395C	#E5E811
396C	#E0E20C
397C	#C1BF0A
398C	#AFA80A
399C	#998E07
400C	#D1C6B5
401C	#C1B5A5
402C	#AFA593
403C	#998C7C
404C	#827566
405C	#6B5E4F
406C	#CEC1B5
408C	#A8998C
409C	#99897C
410C	#7C6D63
411C	#66594C
412C	#3D3028
413C	#C6C1B2
414C	#B5AFA0
415C	#A39E8C
416C	#8E8C7A
417C	#777263
418C	#605E4F
419C	#282821
420C	#D1CCBF
421C	#BFBAAF
422C	#AFAAA3
423C	#96938E
424C	#827F77
425C	#60605B
426C	#2B2B28
427C	#DDDBD1
428C	#D1CEC6
429C	#ADAFAA
430C	#919693
431C	#666D70
432C	#444F51
433C	#30383A
434C	#E0D1C6
435C	#D3BFB7
436C	#BCA59E
437C	#8C706B
438C	#593F3D
439C	#493533
440C	#3F302B
441C	#D1D1C6
442C	#BABFB7
443C	#A3A8A3
444C	#898E8C
445C	#565959
446C	#494C49
447C	#3F3F38
448C	#54472D
449C	#544726
450C	#60542B
451C	#ADA07A
452C	#C4B796
453C	#D6CCAF
454C	#E2D8BF
455C	#665614
456C	#998714
457C	#B59B0C
458C	#DDCC6B
459C	#E2D67C
460C	#EADD96
461C	#EDE5AD
462C	#5B4723
463C	#755426
464C	#876028
465C	#C1A875
466C	#D1BF91
467C	#DDCCA5
468C	#E2D6B5
469C	#603311
470C	#9B4F19
471C	#BC5E1E
472C	#EAAA7A
473C	#F4C4A0
474C	#F4CCAA
475C	#F7D3B5
476C	#593D2B
477C	#633826
478C	#7A3F28
479C	#AF8970
480C	#D3B7A3
481C	#E0CCBA
482C	#E5D3C1
483C	#6B3021
484C	#9B301C
485C	#D81E05
486C	#ED9E84
487C	#EFB5A0
488C	#F2C4AF
489C	#F2D1BF
490C	#5B2626
491C	#752828
492C	#913338
494C	#F2ADB2
495C	#F4BCBF
496C	#F7C9C6
497C	#512826
498C	#6D332B
499C	#7A382D
500C	#CE898C
501C	#EAB2B2
502C	#F2C6C4
503C	#F4D1CC
504C	#511E26
505C	#661E2B
506C	#7A2638
507C	#D8899B
508C	#E8A5AF
509C	#F2BAC1
510C	#F4C6C9
511C	#602144
512C	#84216B
513C	#9E2387
514C	#D884BC
515C	#E8A3C9
516C	#F2BAD3
517C	#F4CCD8
518C	#512D44
519C	#5B3256
520C	#703F6B
521C	#B58CB2
522C	#C6A3C1
523C	#D3B7CC
524C	#E2CCD3
525C	#512654
526C	#68217A
527C	#7A1E99
528C	#AF72C1
529C	#CEA3D3
530C	#D6AFD6
531C	#E5C6DB
532C	#353842
533C	#353F5B
534C	#3A4972
535C	#9BA3B7
536C	#ADB2C1
537C	#C4C6CE
538C	#D6D3D6
539C	#003049
540C	#00335B
541C	#003F77
542C	#6693BC
543C	#93B7D1
544C	#B7CCDB
545C	#C4D3DD
546C	#0C3844
547C	#003F54
548C	#004459
549C	#5E99AA
550C	#87AFBF
551C	#A3C1C9
552C	#C4D6D6
553C	#234435
554C	#195E47
555C	#076D54
556C	#7AA891
557C	#A3C1AD
558C	#B7CEBC
559C	#C6D6C4
560C	#2B4C3F
561C	#26665E
562C	#1E7A6D
563C	#7FBCAA
564C	#93C6B3
565C	#BCDBCC
566C	#D1E2D3
567C	#265142
569C	#008772
570C	#7FC6B2
571C	#AADBC6
572C	#BCE2CE
573C	#CCE5D6
574C	#495928
575C	#547730
576C	#608E3A
577C	#B5CC8E
578C	#C6D6A0
579C	#C9D6A3
580C	#D8DDB5
581C	#605E11
582C	#878905
583C	#AABA0A
584C	#CED649
585C	#DBE06B
586C	#E2E584
587C	#E8E89B
600C	#F4EDAF
601C	#F2ED9E
602C	#F2EA87
603C	#EDE85B
604C	#E8DD21
605C	#DDCE11
606C	#D3BF11
607C	#F2EABC
608C	#EFE8AD
609C	#EAE596
610C	#E2DB72
611C	#D6CE49
612C	#C4BA00
613C	#AFA00C
614C	#EAE2B7
615C	#E2DBAA
616C	#DDD69B
617C	#CCC47C
618C	#B5AA59
619C	#968C28
620C	#84771E
621C	#D8DDCE
622C	#C1D1BF
623C	#A5BFAA
624C	#7FA08C
625C	#5B8772
626C	#21543F
627C	#0C3026
628C	#CCE2DD
629C	#B2D8D8
630C	#8CCCD3
631C	#54B7C6
632C	#00A0BA
633C	#007F99
634C	#00667F
635C	#BAE0E0
636C	#99D6DD
637C	#6BC9DB
638C	#00B5D6
639C	#00A0C4
640C	#008CB2
641C	#007AA5
642C	#D1D8D8
643C	#C6D1D6
644C	#9BAFC4
645C	#7796B2
646C	#5E82A3
647C	#26547C
648C	#00305E
649C	#D6D6D8
650C	#BFC6D1
651C	#9BAABF
652C	#6D87A8
653C	#335687
654C	#0F2B5B
655C	#0C1C47
656C	#D6DBE0
657C	#C1C9DD
658C	#A5AFD6
659C	#7F8CBF
660C	#5960A8
661C	#2D338E
662C	#0C1975
663C	#E2D3D6
664C	#D8CCD1
665C	#C6B5C4
666C	#A893AD
667C	#7F6689
668C	#664975
669C	#472B59
670C	#F2D6D8
671C	#EFC6D3
672C	#EAAAC4
673C	#E08CB2
674C	#D36B9E
675C	#BC3877
676C	#A00054
677C	#EDD6D6
678C	#EACCCE
679C	#E5BFC6
680C	#D39EAF
681C	#B7728E
682C	#A05175
683C	#7F284F
684C	#EFCCCE
685C	#EABFC4
686C	#E0AABA
687C	#C9899E
688C	#B26684
689C	#934266
690C	#702342
691C	#EFD1C9
692C	#E8BFBA
693C	#DBA8A5
694C	#C98C8C
695C	#B26B70
696C	#8E4749
697C	#7F383A
698C	#F7D1CC
699C	#F7C1BF
700C	#F2A5AA
701C	#E8878E
702C	#D6606D
703C	#B73844
704C	#9E2828
705C	#F9DDD6
706C	#FCC9C6
707C	#FCADAF
708C	#F98E99
709C	#F26877
710C	#E04251
711C	#D12D33
712C	#FFD3AA
713C	#F9C9A3
714C	#F9BA82
715C	#FC9E49
716C	#F28411
717C	#D36D00
718C	#BF5B00
719C	#F4D1AF
720C	#EFC49E
721C	#E8B282
722C	#D18E54
723C	#BA7530
724C	#8E4905
725C	#753802
726C	#EDD3B5
727C	#E2BF9B
728C	#D3A87C
729C	#C18E60
730C	#AA753F
731C	#723F0A
732C	#60330A
801C	#00AACC
802C	#60DD49
803C	#FFED38
804C	#FF9338
805C	#F95951
806C	#FF0093
807C	#D6009E
808C	#00B59B
809C	#DDE00F
810C	#FFCC1E
811C	#FF7247
812C	#FC2366
813C	#E50099
814C	#7E60CE
1205C	#F7E8AA
1215C	#F9E08C
1225C	#FFCC49
1235C	#FCB514
1245C	#BF910C
1255C	#A37F14
1265C	#7C6316
1345C	#FFD691
1355C	#FCCE87
1365C	#FCBA5E
1375C	#F99B0C
1385C	#CC7A02
1395C	#996007
1405C	#6B4714
1485C	#FFB777
1495C	#FF993F
1505C	#F47C00
1525C	#B7500A
1535C	#8C4414
1545C	#4C280F
1555C	#F9BF9E
1565C	#FCA577
1575C	#FC8744
1585C	#F96B07
1595C	#D15B05
1605C	#A04F11
1615C	#843F0F
1625C	#F9A58C
1635C	#F98E6D
1645C	#F97242
1655C	#F95602
1665C	#DD4F05
1675C	#A53F0F
1685C	#843511
1765C	#F99EA3
1767C	#F9B2B7
1775C	#F9848E
1777C	#FC6675
1785C	#FC4F59
1787C	#F43F4F
1788C	#EF2B2D
1795C	#D62828
1797C	#CC2D30
1805C	#AF2626
1807C	#A03033
1815C	#7C2126
1817C	#5B2D28
1895C	#F4BFD1
1905C	#F49BC1
1915C	#F4548C
1925C	#E0074F
1935C	#C10538
1945C	#A80C35
1955C	#931638
2365C	#F7C4D8
2375C	#EA6BBF
2385C	#DB28A5
2395C	#C4008C
2405C	#A8007A
2415C	#9B0070
2425C	#87005B
2562C	#D8A8D8
2563C	#D1A0CC
2567C	#BF93CC
2572C	#C687D1
2573C	#BA7CBC
2577C	#AA72BF
2582C	#AA47BA
2583C	#9E4FA5
2587C	#8E47AD
2592C	#930FA5
2593C	#872B93
2597C	#66008C
2602C	#820C8E
2603C	#70147A
2607C	#5B027A
2612C	#701E72
2613C	#66116D
2617C	#560C70
2622C	#602D59
2623C	#5B195E
2627C	#4C145E
2635C	#C9ADD8
2645C	#B591D1
2655C	#9B6DC6
2665C	#894FBF
2685C	#56008C
2695C	#44235E
2705C	#AD9ED3
2706C	#D1CEDD
2707C	#BFD1E5
2708C	#AFBCDB
2715C	#937ACC
2716C	#A5A0D6
2717C	#A5BAE0
2718C	#5B77CC
2725C	#7251BC
2726C	#6656BC
2727C	#5E68C4
2728C	#3044B5
2735C	#4F0093
2736C	#4930AD
2738C	#2D008E
2745C	#3F0077
2746C	#3F2893
2747C	#1C146B
2748C	#1E1C77
2755C	#35006D
2756C	#332875
2757C	#141654
2758C	#192168
2765C	#2B0C56
2766C	#2B265B
2767C	#14213D
2768C	#112151
2905C	#93C6E0
2915C	#60AFDD
2925C	#008ED6
2935C	#005BBF
2945C	#0054A0
2955C	#003D6B
2965C	#00334C
2975C	#BAE0E2
2985C	#51BFE2
2995C	#00A5DB
3005C	#0084C9
3015C	#00709E
3025C	#00546B
3035C	#004454
3105C	#7FD6DB
3115C	#2DC6D6
3125C	#00B7C6
3135C	#009BAA
3145C	#00848E
3155C	#006070
3165C	#00565B
3242C	#87E0D1
3245C	#8CE0D1
3248C	#7AD3C1
3252C	#56D6C9
3255C	#47D6C1
3258C	#35C4AF
3262C	#00C1B5
3265C	#00C6B2
3268C	#00AF99
3272C	#00AA9E
3275C	#00B2A0
3278C	#009B84
3282C	#008C82
3285C	#009987
3288C	#008270
3292C	#005E54
3295C	#008272
3298C	#006B5B
3302C	#00493F
3305C	#004C42
3308C	#004438
3375C	#8EE2BC
3385C	#54D8A8
3395C	#00C993
3405C	#00B27A
3415C	#007C59
3425C	#006847
3435C	#024930
3935C	#F9F293
3945C	#F4ED4C
3955C	#EFE502
3965C	#EDDE00
3975C	#B5A80C
3985C	#998C0A
3995C	#6B6002
4485C	#604C11
4495C	#877530
4505C	#A09151
4515C	#BCAD75
4525C	#CCBF8E
4535C	#DBCEA5
4545C	#E5DBBA
4625C	#4F2B1E
4635C	#935B42
4645C	#B27F60
4655C	#C49E7F
4665C	#D8B79E
4675C	#E5CCB5
4685C	#EDD3BC
4695C	#512819
4705C	#7C4D3A
4715C	#996B5E
4725C	#B58F80
4735C	#CCAEA0
4745C	#D8BFB5
4755C	#E2CCC1
4975C	#441E1C
4985C	#844949
4995C	#A56B6D
5005C	#BC8787
5015C	#D8ADA8
5025C	#E2BCB7
5035C	#EDCEC6
5115C	#4F213A
5125C	#754760
5135C	#936B7F
5145C	#AD8799
5155C	#CCAFB7
5165C	#E0C9CC
5175C	#E8D6D1
5185C	#472835
5195C	#593344
5205C	#8E6877
5215C	#B5939B
5225C	#CCADAF
5235C	#DDC6C4
5245C	#E5D3CC
5255C	#1E1A34
5265C	#403A60
5275C	#5E5977
5285C	#8C8299
5295C	#B2A8B5
5305C	#CCC1C6
5315C	#DBD3D3
5395C	#02283A
5405C	#3F607C
5415C	#5B7792
5425C	#7A99AD
5435C	#A5B7C1
5445C	#BCC6CC
5455C	#CED3D6
5463C	#00353A
5467C	#193833
5473C	#26686D
5477C	#3A564F
5483C	#609191
5487C	#667C72
5493C	#8CAFAD
5497C	#91A399
5503C	#AAC4BF
5507C	#AFBAB2
5513C	#CEDBD3
5517C	#C9CEC4
5523C	#D6E2D6
5527C	#CED1C6
5535C	#213D30
5545C	#4F6D5E
5555C	#779182
5565C	#96AA99
5575C	#AFBFAD
5585C	#C4CEBF
5595C	#D8DBCC
5605C	#233A2D
5615C	#546856
5625C	#728470
5635C	#9EAA99
5645C	#BCC1B2
5655C	#C6CCBA
5665C	#D6D6C6
5743C	#3F4926
5747C	#424716
5753C	#5E663A
5757C	#6B702B
5763C	#777C4F
5767C	#8C914F
5773C	#9B9E72
5777C	#AAAD75
5783C	#B5B58E
5787C	#C6C699
5793C	#C6C6A5
5797C	#D3D1AA
5803C	#D8D6B7
5807C	#E0DDBC
5815C	#493F0A
5825C	#75702B
5835C	#9E9959
5845C	#B2AA70
5855C	#CCC693
5865C	#D6CEA3
5875C	#E0DBB5
)KIVO" },
};

const int kDictionaryCount = int(sizeof(kDictionaries) / sizeof(kDictionaries[0]));

} // namespace colordata
