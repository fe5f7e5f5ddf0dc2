// Generated table: the named-colour dictionaries, one entry a line as "name<TAB>value".
// Keep every dictionary's entries in this order; it decides ties of the closest-name search.
#include "style/ColorDictionaryData.h"

namespace colordata {

const DictionaryText kDictionaries[] = {
    { "Crayon", 122, u8R"KIVO(
Almond	000000
Antique Brass	000000
Apricot	000000
Aquamarine	000000
Asparagus	000000
Atomic Tangerine	000000
Banana Mania	000000
Beaver	000000
Bittersweet	000000
Black	000000
Blizzard Blue	000000
Blue	000000
Blue Bell	000000
Blue Green	000000
Blue Violet	000000
Brick Red	000000
Brink Pink	000000
Brown	000000
Burnt Orange	000000
Burnt Sienna	000000
Cadet Blue	000000
Canary	000000
Caribbean Green	000000
Carnation Pink	000000
Cerise	000000
Cerulean	000000
Chestnut	000000
Copper	000000
Cornflower	000000
Cotton Candy	000000
Cranberry	000000
Dandelion	000000
Denim	000000
Desert Sand	000000
Eggplant	000000
Electric Lime	000000
Fern	000000
Flesh	000000
Forest Green	000000
Fuchsia	000000
Fuzzy Wuzzy Brown	000000
Gold	000000
Goldenrod	000000
Granny Smith Apple	000000
Gray	000000
Green	000000
Green Yellow	000000
Happy Ever After	000000
Hot Magenta	000000
Inch Worm	000000
Indigo	000000
Jazzberry Jam	000000
Jungle Green	000000
Laser Lemon	000000
Lavender	000000
Macaroni And Cheese	000000
Magenta	000000
Magic Mint	000000
Mahogany	000000
Manatee	000000
Mango Tango	000000
Maroon	000000
Mauvelous	000000
Melon	000000
Midnight Blue	000000
Mountain Meadow	000000
Mulberry	000000
Navy Blue	000000
Neon Carrot	000000
Olive Green	000000
Orange	000000
Orchid	000000
Outer Space	000000
Outrageous Orange	000000
Pacific Blue	000000
Periwinkle	000000
Pig Pink	000000
Pine Green	000000
Pink Flamingo	000000
Plum	000000
Purple Heart	000000
Purple Mountain's Majesty	000000
Radical Red	000000
Raw Sienna	000000
Razzle Dazzle Rose	000000
Razzmatazz	000000
Red	000000
Red Orange	000000
Red Violet	000000
Robin's Egg Blue	000000
Royal Purple	000000
Salmon	000000
Scarlet	000000
Screamin' Green	000000
Sea Green	000000
Sepia	000000
Shadow	000000
Shamrock	000000
Shocking Pink	000000
Silver	000000
Sky Blue	000000
Spring Green	000000
Sunglow	000000
Sunset Orange	000000
Tan	000000
Tickle Me Pink	000000
Timberwolf	000000
Tropical Rain Forest	000000
Tumbleweed	000000
Turquoise Blue	000000
Ultra Red	000000
Violet (Purple)	000000
Violet Red	000000
Vivid Tangerine	000000
Vivid Violet	000000
White	000000
Wild Blue Yonder	000000
Wild Strawberry	000000
Wisteria	000000
Yellow	000000
Yellow Green	000000
Yellow Orange	000000
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
Aero	000000
Aero Blue	000000
African Violet	000000
Air Force Blue (Raf)	000000
Air Force Blue (Usaf)	000000
Air Superiority Blue	000000
Alabama Crimson	000000
Alice Blue	000000
Alizarin Crimson	000000
Alloy Orange	000000
Almond	000000
Amaranth	000000
Amazon	000000
Amber	000000
American Rose	000000
Amethyst	000000
Android Green	000000
Anti-Flash White	000000
Antique Brass	000000
Antique Bronze	000000
Antique Fuchsia	000000
Antique Ruby	000000
Antique White	000000
Ao (English)	000000
Apple Green	000000
Apricot	000000
Aqua	000000
Aquamarine	000000
Army Green	000000
Arsenic	000000
Arylide Yellow	000000
Ash Gray	000000
Asparagus	000000
Atomic Tangerine	000000
Auburn	000000
Aureolin	000000
Aurometalsaurus	000000
Avocado	000000
Azure	000000
Azure Mist/Web	000000
B'dazzled Blue	000000
Baby Blue	000000
Baby Blue Eyes	000000
Baby Pink	000000
Baby Powder	000000
Baker-Miller Pink	000000
Ball Blue	000000
Banana Mania	000000
Banana Yellow	000000
Barbie Pink	000000
Barn Red	000000
Battleship Gray	000000
Bazaar	000000
Beau Blue	000000
Beaver	000000
Beige	000000
Big Dip O’ruby	000000
Bisque	000000
Bistre	000000
Bistre Brown	000000
Bitter Lemon	000000
Bitter Lime	000000
Bittersweet	000000
Bittersweet Shimmer	000000
Black	000000
Black Bean	000000
Black Leather Jacket	000000
Black Olive	000000
Blanched Almond	000000
Blast-Off Bronze	000000
Bleu De France	000000
Blizzard Blue	000000
Blond	000000
Blue	000000
Blue (Crayola)	000000
Blue (Munsell)	000000
Blue (Ncs)	000000
Blue (Ryb)	000000
Blue (Pigment)	000000
Blue Bell	000000
Blue Sapphire	000000
Blue-Gray	000000
Blue-Green	000000
Blue-Violet	000000
Blueberry	000000
Bluebonnet	000000
Blush	000000
Bole	000000
Bondi Blue	000000
Bone	000000
Boston University Red	000000
Bottle Green	000000
Boysenberry	000000
Brandeis Blue	000000
Brass	000000
Brick Red	000000
Bright Cerulean	000000
Bright Green	000000
Bright Lavender	000000
Bright Maroon	000000
Bright Pink	000000
Bright Turquoise	000000
Bright Ube	000000
Brilliant Lavender	000000
Brilliant Rose	000000
Brink Pink	000000
British Racing Green	000000
Bronze	000000
Bronze Yellow	000000
Brown (Traditional)	000000
Brown (Web)	000000
Brown-Nose	000000
Brunswick Green	000000
Bubble Gum	000000
Bubbles	000000
Buff	000000
Bulgarian Rose	000000
Burgundy	000000
Burlywood	000000
Burnt Orange	000000
Burnt Sienna	000000
Burnt Umber	000000
Byzantine	000000
Byzantium	000000
Cg Blue	000000
Cg Red	000000
Cadet	000000
Cadet Blue	000000
Cadet Gray	000000
Cadmium Green	000000
Cadmium Orange	000000
Cadmium Red	000000
Cadmium Yellow	000000
Café Au Lait	000000
Café Noir	000000
Cal Poly Green	000000
Cambridge Blue	000000
Camel	000000
Cameo Pink	000000
Camouflage Green	000000
Canary Yellow	000000
Candy Apple Red	000000
Candy Pink	000000
Capri	000000
Caput Mortuum	000000
Cardinal	000000
Caribbean Green	000000
Carmine	000000
Carmine (M&P)	000000
Carmine Pink	000000
Carmine Red	000000
Carnation Pink	000000
Carnelian	000000
Carolina Blue	000000
Carrot Orange	000000
Castleton Green	000000
Catalina Blue	000000
Catawba	000000
Cedar Chest	000000
Ceil	000000
Celadon	000000
Celadon Blue	000000
Celadon Green	000000
Celeste (Colour)	000000
Celestial Blue	000000
Cerise	000000
Cerise Pink	000000
Cerulean	000000
Cerulean Blue	000000
Cerulean Frost	000000
Chamoisee	000000
Champagne	000000
Charcoal	000000
Charleston Green	000000
Charm Pink	000000
Chartreuse (Traditional)	000000
Chartreuse (Web)	000000
Cherry	000000
Cherry Blossom Pink	000000
Chestnut	000000
China Pink	000000
China Rose	000000
Chinese Red	000000
Chinese Violet	000000
Chocolate (Traditional)	000000
Chocolate (Web)	000000
Chrome Yellow	000000
Cinereous	000000
Cinnabar	000000
Cinnamon	000000
Citrine	000000
Citron	000000
Claret	000000
Classic Rose	000000
Cobalt	000000
Cocoa Brown	000000
Coconut	000000
Coffee	000000
Columbia Blue	000000
Congo Pink	000000
Cool Black	000000
Cool Gray	000000
Copper	000000
Copper (Crayola)	000000
Copper Penny	000000
Copper Red	000000
Copper Rose	000000
Coquelicot	000000
Coral	000000
Coral Pink	000000
Coral Red	000000
Cordovan	000000
Corn	000000
Cornell Red	000000
Cornflower Blue	000000
Cornsilk	000000
Cosmic Latte	000000
Cotton Candy	000000
Cream	000000
Crimson	000000
Crimson Glory	000000
Cyan	000000
Cyan (Process)	000000
Cyber Grape	000000
Daffodil	000000
Dandelion	000000
Dark Blue	000000
Dark Blue-Gray	000000
Dark Brown	000000
Dark Byzantium	000000
Dark Candy Apple Red	000000
Dark Cerulean	000000
Dark Chestnut	000000
Dark Coral	000000
Dark Cyan	000000
Dark Electric Blue	000000
Dark Goldenrod	000000
Dark Gray	000000
Dark Green	000000
Dark Imperial Blue	000000
Dark Jungle Green	000000
Dark Khaki	000000
Dark Lava	000000
Dark Lavender	000000
Dark Magenta	000000
Dark Midnight Blue	000000
Dark Moss Green	000000
Dark Olive Green	000000
Dark Orange	000000
Dark Orchid	000000
Dark Pastel Blue	000000
Dark Pastel Green	000000
Dark Pastel Purple	000000
Dark Pastel Red	000000
Dark Pink	000000
Dark Powder Blue	000000
Dark Raspberry	000000
Dark Red	000000
Dark Salmon	000000
Dark Scarlet	000000
Dark Sea Green	000000
Dark Sienna	000000
Dark Sky Blue	000000
Dark Slate Blue	000000
Dark Slate Gray	000000
Dark Spring Green	000000
Dark Tan	000000
Dark Tangerine	000000
Dark Taupe	000000
Dark Terra Cotta	000000
Dark Turquoise	000000
Dark Vanilla	000000
Dark Violet	000000
Dark Yellow	000000
Dartmouth Green	000000
Davy's Gray	000000
Debian Red	000000
Deep Space Sparkle	000000
Deep Taupe	000000
Deep Tuscan Red	000000
Deep Carmine	000000
Deep Carmine Pink	000000
Deep Carrot Orange	000000
Deep Cerise	000000
Deep Champagne	000000
Deep Chestnut	000000
Deep Coffee	000000
Deep Fuchsia	000000
Deep Jungle Green	000000
Deep Lemon	000000
Deep Lilac	000000
Deep Magenta	000000
Deep Mauve	000000
Deep Moss Green	000000
Deep Peach	000000
Deep Pink	000000
Deep Ruby	000000
Deep Saffron	000000
Deep Sky Blue	000000
Deer	000000
Denim	000000
Desert	000000
Desert Sand	000000
Diamond	000000
Dim Gray	000000
Dirt	000000
Dodger Blue	000000
Dogwood Rose	000000
Dollar Bill	000000
Drab	000000
Duke Blue	000000
Dust Storm	000000
Earth Yellow	000000
Ebony	000000
Ecru	000000
Eggplant	000000
Eggshell	000000
Egyptian Blue	000000
Electric Blue	000000
Electric Crimson	000000
Electric Cyan	000000
Electric Green	000000
Electric Indigo	000000
Electric Lavender	000000
Electric Lime	000000
Electric Purple	000000
Electric Ultramarine	000000
Electric Violet	000000
Electric Yellow	000000
Emerald	000000
English Green	000000
English Lavender	000000
English Red	000000
English Violet	000000
Eton Blue	000000
Eucalyptus	000000
Fallow	000000
Falu Red	000000
Fandango	000000
Fandango Pink	000000
Fashion Fuchsia	000000
Fawn	000000
Feldgrau	000000
Feldspar	000000
Fern Green	000000
Ferrari Red	000000
Field Drab	000000
Fire Engine Red	000000
Firebrick	000000
Flame	000000
Flamingo Pink	000000
Flattery	000000
Flavescent	000000
Flax	000000
Floral White	000000
Fluorescent Orange	000000
Fluorescent Pink	000000
Fluorescent Yellow	000000
Folly	000000
Forest Green (Traditional)	000000
Forest Green (Web)	000000
French Beige	000000
French Bistre	000000
French Blue	000000
French Lilac	000000
French Lime	000000
French Mauve	000000
French Raspberry	000000
French Rose	000000
French Sky Blue	000000
French Wine	000000
Fresh Air	000000
Fuchsia	000000
Fuchsia (Crayola)	000000
Fuchsia Pink	000000
Fuchsia Rose	000000
Fulvous	000000
Fuzzy Wuzzy	000000
Go Green	000000
Gainsboro	000000
Gamboge	000000
Ghost White	000000
Giants Orange	000000
Ginger	000000
Glaucous	000000
Glitter	000000
Gold (Metallic)	000000
Gold (Web) (Golden)	000000
Gold Fusion	000000
Golden Brown	000000
Golden Poppy	000000
Golden Yellow	000000
Goldenrod	000000
Granny Smith Apple	000000
Grape	000000
Gray	000000
Gray (Html/Css Gray)	000000
Gray (X11 Gray)	000000
Gray-Asparagus	000000
Gray-Blue	000000
Green (Crayola)	000000
Green (Html/Css Color)	000000
Green (Munsell)	000000
Green (Ncs)	000000
Green (Ryb)	000000
Green (Color Wheel) (X11 Green)	000000
Green (Pigment)	000000
Green-Yellow	000000
Grullo	000000
Guppie Green	000000
Halayà Úbe	000000
Han Blue	000000
Han Purple	000000
Hansa Yellow	000000
Harlequin	000000
Harvard Crimson	000000
Harvest Gold	000000
Heart Gold	000000
Heliotrope	000000
Hollywood Cerise	000000
Honeydew	000000
Honolulu Blue	000000
Hooker's Green	000000
Hot Magenta	000000
Hot Pink	000000
Hunter Green	000000
Iceberg	000000
Icterine	000000
Illuminating Emerald	000000
Imperial	000000
Imperial Blue	000000
Imperial Purple	000000
Imperial Red	000000
Inchworm	000000
India Green	000000
Indian Red	000000
Indian Yellow	000000
Indigo	000000
Indigo (Dye)	000000
Indigo (Web)	000000
International Klein Blue	000000
International Orange (Golden Gate Bridge)	000000
International Orange (Aerospace)	000000
International Orange (Engineering)	000000
Iris	000000
Irresistible	000000
Isabelline	000000
Islamic Green	000000
Italian Sky Blue	000000
Ivory	000000
Jade	000000
Japanese Indigo	000000
Japanese Violet	000000
Jasmine	000000
Jasper	000000
Jazzberry Jam	000000
Jelly Bean	000000
Jet	000000
Jonquil	000000
June Bud	000000
Jungle Green	000000
Ku Crimson	000000
Kelly Green	000000
Kenyan Copper	000000
Keppel	000000
Khaki (Html/Css) (Khaki)	000000
Khaki (X11) (Light Khaki)	000000
Kobe	000000
Kobi	000000
La Salle Green	000000
Languid Lavender	000000
Lapis Lazuli	000000
Laser Lemon	000000
Laurel Green	000000
Lava	000000
Lavender (Floral)	000000
Lavender (Web)	000000
Lavender Blue	000000
Lavender Blush	000000
Lavender Gray	000000
Lavender Indigo	000000
Lavender Magenta	000000
Lavender Mist	000000
Lavender Pink	000000
Lavender Purple	000000
Lavender Rose	000000
Lawn Green	000000
Lemon	000000
Lemon Chiffon	000000
Lemon Curry	000000
Lemon Glacier	000000
Lemon Lime	000000
Lemon Meringue	000000
Lemon Yellow	000000
Licorice	000000
Light Thulian Pink	000000
Light Apricot	000000
Light Blue	000000
Light Brown	000000
Light Carmine Pink	000000
Light Coral	000000
Light Cornflower Blue	000000
Light Crimson	000000
Light Cyan	000000
Light Fuchsia Pink	000000
Light Goldenrod Yellow	000000
Light Gray	000000
Light Green	000000
Light Khaki	000000
Light Medium Orchid	000000
Light Moss Green	000000
Light Orchid	000000
Light Pastel Purple	000000
Light Pink	000000
Light Red Ochre	000000
Light Salmon	000000
Light Salmon Pink	000000
Light Sea Green	000000
Light Sky Blue	000000
Light Slate Gray	000000
Light Steel Blue	000000
Light Taupe	000000
Light Yellow	000000
Lilac	000000
Lime (Color Wheel)	000000
Lime (Web) (X11 Green)	000000
Lime Green	000000
Limerick	000000
Lincoln Green	000000
Linen	000000
Lion	000000
Little Boy Blue	000000
Liver	000000
Lumber	000000
Lust	000000
Msu Green	000000
Magenta	000000
Magenta (Crayola)	000000
Magenta (Pantone)	000000
Magenta (Dye)	000000
Magenta (Process)	000000
Magic Mint	000000
Magnolia	000000
Mahogany	000000
Maize	000000
Majorelle Blue	000000
Malachite	000000
Manatee	000000
Mango Tango	000000
Mantis	000000
Mardi Gras	000000
Maroon (Crayola)	000000
Maroon (Html/Css)	000000
Maroon (X11)	000000
Mauve	000000
Mauve Taupe	000000
Mauvelous	000000
Maya Blue	000000
Meat Brown	000000
Medium Persian Blue	000000
Medium Tuscan Red	000000
Medium Aquamarine	000000
Medium Blue	000000
Medium Candy Apple Red	000000
Medium Carmine	000000
Medium Champagne	000000
Medium Electric Blue	000000
Medium Jungle Green	000000
Medium Lavender Magenta	000000
Medium Orchid	000000
Medium Purple	000000
Medium Red-Violet	000000
Medium Ruby	000000
Medium Sea Green	000000
Medium Sky Blue	000000
Medium Slate Blue	000000
Medium Spring Bud	000000
Medium Spring Green	000000
Medium Taupe	000000
Medium Turquoise	000000
Medium Vermilion	000000
Medium Violet-Red	000000
Mellow Apricot	000000
Mellow Yellow	000000
Melon	000000
Metallic Seaweed	000000
Metallic Sunburst	000000
Mexican Pink	000000
Midnight Blue	000000
Midnight Green (Eagle Green)	000000
Midori	000000
Mikado Yellow	000000
Mint	000000
Mint Cream	000000
Mint Green	000000
Misty Rose	000000
Moccasin	000000
Mode Beige	000000
Moonstone Blue	000000
Mordant Red 19	000000
Moss Green	000000
Mountain Meadow	000000
Mountbatten Pink	000000
Mughal Green	000000
Mulberry	000000
Mustard	000000
Myrtle Green	000000
Nadeshiko Pink	000000
Napier Green	000000
Naples Yellow	000000
Navajo White	000000
Navy Blue	000000
Navy Purple	000000
Neon Carrot	000000
Neon Fuchsia	000000
Neon Green	000000
New Car	000000
New York Pink	000000
Non-Photo Blue	000000
North Texas Green	000000
Nyanza	000000
Ou Crimson Red	000000
Ocean Boat Blue	000000
Ochre	000000
Office Green	000000
Old Burgundy	000000
Old Gold	000000
Old Lace	000000
Old Lavender	000000
Old Mauve	000000
Old Moss Green	000000
Old Rose	000000
Old Silver	000000
Olive	000000
Olive Drab #7	000000
Olive Drab (Web) (Olive Drab #3)	000000
Olivine	000000
Onyx	000000
Opera Mauve	000000
Orange (Crayola)	000000
Orange (Pantone)	000000
Orange (Ryb)	000000
Orange (Color Wheel)	000000
Orange (Web Color)	000000
Orange Peel	000000
Orange-Red	000000
Orchid	000000
Orchid Pink	000000
Orioles Orange	000000
Otter Brown	000000
Outer Space	000000
Outrageous Orange	000000
Oxford Blue	000000
Pakistan Green	000000
Palatinate Blue	000000
Palatinate Purple	000000
Pale Aqua	000000
Pale Blue	000000
Pale Brown	000000
Pale Carmine	000000
Pale Cerulean	000000
Pale Chestnut	000000
Pale Copper	000000
Pale Cornflower Blue	000000
Pale Gold	000000
Pale Goldenrod	000000
Pale Green	000000
Pale Lavender	000000
Pale Magenta	000000
Pale Pink	000000
Pale Plum	000000
Pale Red-Violet	000000
Pale Robin Egg Blue	000000
Pale Silver	000000
Pale Spring Bud	000000
Pale Taupe	000000
Pale Turquoise	000000
Pale Violet-Red	000000
Pansy Purple	000000
Papaya Whip	000000
Paris Green	000000
Pastel Blue	000000
Pastel Brown	000000
Pastel Gray	000000
Pastel Green	000000
Pastel Magenta	000000
Pastel Orange	000000
Pastel Pink	000000
Pastel Purple	000000
Pastel Red	000000
Pastel Violet	000000
Pastel Yellow	000000
Patriarch	000000
Payne's Gray	000000
Peach	000000
Peach (Crayola)	000000
Peach Puff	000000
Peach-Orange	000000
Peach-Yellow	000000
Pear	000000
Pearl	000000
Pearl Aqua	000000
Pearly Purple	000000
Peridot	000000
Periwinkle	000000
Persian Blue	000000
Persian Green	000000
Persian Indigo	000000
Persian Orange	000000
Persian Pink	000000
Persian Plum	000000
Persian Red	000000
Persian Rose	000000
Persimmon	000000
Peru	000000
Phlox	000000
Phthalo Blue	000000
Phthalo Green	000000
Pictorial Carmine	000000
Piggy Pink	000000
Pine Green	000000
Pink	000000
Pink Sherbet	000000
Pink Lace	000000
Pink Pearl	000000
Pink-Orange	000000
Pistachio	000000
Platinum	000000
Plum (Traditional)	000000
Plum (Web)	000000
Pomp And Power	000000
Portland Orange	000000
Powder Blue (Web)	000000
Princeton Orange	000000
Prune	000000
Prussian Blue	000000
Psychedelic Purple	000000
Puce	000000
Pumpkin	000000
Purple (Html/Css)	000000
Purple (Munsell)	000000
Purple (X11)	000000
Purple Heart	000000
Purple Mountain Majesty	000000
Purple Pizzazz	000000
Purple Taupe	000000
Quartz	000000
Queen Blue	000000
Queen Pink	000000
Rackley	000000
Radical Red	000000
Rajah	000000
Raspberry	000000
Raspberry Glace	000000
Raspberry Pink	000000
Raspberry Rose	000000
Raw Umber	000000
Razzle Dazzle Rose	000000
Razzmatazz	000000
Razzmic Berry	000000
Red	000000
Red (Crayola)	000000
Red (Munsell)	000000
Red (Ncs)	000000
Red (Pantone)	000000
Red (Ryb)	000000
Red (Pigment)	000000
Red Devil	000000
Red-Brown	000000
Red-Orange	000000
Red-Violet	000000
Redwood	000000
Regalia	000000
Resolution Blue	000000
Rhythm	000000
Rich Black	000000
Rich Brilliant Lavender	000000
Rich Carmine	000000
Rich Electric Blue	000000
Rich Lavender	000000
Rich Lilac	000000
Rich Maroon	000000
Rifle Green	000000
Robin Egg Blue	000000
Rocket Metallic	000000
Roman Silver	000000
Rose	000000
Rose Bonbon	000000
Rose Ebony	000000
Rose Gold	000000
Rose Madder	000000
Rose Pink	000000
Rose Quartz	000000
Rose Red	000000
Rose Taupe	000000
Rose Vale	000000
Rosewood	000000
Rosso Corsa	000000
Rosy Brown	000000
Royal Azure	000000
Royal Blue (Traditional)	000000
Royal Blue (Web)	000000
Royal Fuchsia	000000
Royal Purple	000000
Royal Yellow	000000
Ruber	000000
Rubine Red	000000
Ruby	000000
Ruby Red	000000
Ruddy	000000
Ruddy Brown	000000
Ruddy Pink	000000
Rufous	000000
Russet	000000
Russian Green	000000
Russian Violet	000000
Rust	000000
Rusty Red	000000
Sae/Ece Amber (Color)	000000
Sacramento State Green	000000
Saddle Brown	000000
Safety Orange (Blaze Orange)	000000
Safety Yellow	000000
Saffron	000000
Salmon	000000
Salmon Pink	000000
Sand	000000
Sand Dune	000000
Sandstorm	000000
Sandy Brown	000000
Sandy Taupe	000000
Sangria	000000
Sap Green	000000
Sapphire	000000
Sapphire Blue	000000
Satin Sheen Gold	000000
Scarlet	000000
Scarlet (Crayola)	000000
Schauss Pink	000000
School Bus Yellow	000000
Screamin' Green	000000
Sea Blue	000000
Sea Green	000000
Seal Brown	000000
Seashell	000000
Selective Yellow	000000
Sepia	000000
Shadow	000000
Shampoo	000000
Shamrock Green	000000
Sheen Green	000000
Shimmering Blush	000000
Shocking Pink	000000
Shocking Pink (Crayola)	000000
Sienna	000000
Silver	000000
Silver Lake Blue	000000
Silver Chalice	000000
Silver Pink	000000
Silver Sand	000000
Sinopia	000000
Skobeloff	000000
Sky Blue	000000
Sky Magenta	000000
Slate Blue	000000
Slate Gray	000000
Smalt (Dark Powder Blue)	000000
Smitten	000000
Smoke	000000
Smokey Topaz	000000
Smoky Black	000000
Snow	000000
Soap	000000
Sonic Silver	000000
Space Cadet	000000
Spanish Bistre	000000
Spanish Carmine	000000
Spanish Crimson	000000
Spanish Orange	000000
Spanish Sky Blue	000000
Spartan Crimson	000000
Spiro Disco Ball	000000
Spring Bud	000000
Spring Green	000000
St. Patrick's Blue	000000
Star Command Blue	000000
Steel Blue	000000
Steel Pink	000000
Stil De Grain Yellow	000000
Stizza	000000
Stormcloud	000000
Straw	000000
Strawberry	000000
Sunglow	000000
Sunray	000000
Sunset	000000
Sunset Orange	000000
Super Pink	000000
Tan	000000
Tangelo	000000
Tangerine	000000
Tangerine Yellow	000000
Tango Pink	000000
Taupe	000000
Taupe Gray	000000
Tea Green	000000
Tea Rose (Orange)	000000
Tea Rose (Rose)	000000
Teal	000000
Teal Blue	000000
Teal Deer	000000
Teal Green	000000
Telemagenta	000000
Tenné (Tawny)	000000
Terra Cotta	000000
Thistle	000000
Thulian Pink	000000
Tickle Me Pink	000000
Tiffany Blue	000000
Tiger's Eye	000000
Timberwolf	000000
Titanium Yellow	000000
Tomato	000000
Toolbox	000000
Topaz	000000
Tractor Red	000000
Trolley Gray	000000
Tropical Rain Forest	000000
True Blue	000000
Tufts Blue	000000
Tulip	000000
Tumbleweed	000000
Turkish Rose	000000
Turquoise	000000
Turquoise Blue	000000
Turquoise Green	000000
Tuscan	000000
Tuscan Brown	000000
Tuscan Red	000000
Tuscan Tan	000000
Tuscany	000000
Twilight Lavender	000000
Tyrian Purple	000000
Ua Blue	000000
Ua Red	000000
Ucla Blue	000000
Ucla Gold	000000
Ufo Green	000000
Up Forest Green	000000
Up Maroon	000000
Usafa Blue	000000
Usc Cardinal	000000
Usc Gold	000000
Ube	000000
Ultra Pink	000000
Ultramarine	000000
Ultramarine Blue	000000
Umber	000000
Unbleached Silk	000000
United Nations Blue	000000
University Of California Gold	000000
University Of Tennessee Orange	000000
Unmellow Yellow	000000
Upsdell Red	000000
Urobilin	000000
Utah Crimson	000000
Vanilla	000000
Vanilla Ice	000000
Vegas Gold	000000
Venetian Red	000000
Verdigris	000000
Vermilion (Plochere)	000000
Vermilion (Cinnabar)	000000
Veronica	000000
Violet	000000
Violet (Ryb)	000000
Violet (Color Wheel)	000000
Violet (Web)	000000
Violet-Blue	000000
Violet-Red	000000
Viridian	000000
Vivid Auburn	000000
Vivid Burgundy	000000
Vivid Cerise	000000
Vivid Orchid	000000
Vivid Sky Blue	000000
Vivid Tangerine	000000
Vivid Violet	000000
Warm Black	000000
Waterspout	000000
Wenge	000000
Wheat	000000
White	000000
White Smoke	000000
Wild Strawberry	000000
Wild Watermelon	000000
Wild Blue Yonder	000000
Wild Orchid	000000
Windsor Tan	000000
Wine	000000
Wine Dregs	000000
Wisteria	000000
Wood Brown	000000
Xanadu	000000
Yale Blue	000000
Yankees Blue	000000
Yellow	000000
Yellow (Munsell)	000000
Yellow (Ncs)	000000
Yellow (Ryb)	000000
Yellow (Process)	000000
Yellow Orange	000000
Yellow Rose	000000
Yellow-Green	000000
Zaffre	000000
Zinnwaldite Brown	000000
Zomp	000000
)KIVO" },
    { "Dorvask", 210, u8R"KIVO(
Apple Green	000000
Apricot	000000
Aqua	000000
Aqua Blue	000000
Aqua Green	000000
Aqua Marine	000000
Aquamarine	000000
Army Green	000000
Aubergine	000000
Avocado	000000
Azure	000000
Baby Blue	000000
Beige	000000
Black	000000
Blue	000000
Blue Gray	000000
Blue Green	000000
Blue Purple	000000
Blue Violet	000000
Bluish Purple	000000
Bottle Green	000000
Brick	000000
Brick Red	000000
Bright Blue	000000
Bright Green	000000
Bright Pink	000000
Bright Purple	000000
Bright Red	000000
Bright Violet	000000
Bright Yellow	000000
Brown	000000
Burgundy	000000
Burnt Orange	000000
Burnt Sienna	000000
Cadet Blue	000000
Canary Yellow	000000
Cerise	000000
Cerulean	000000
Cerulean Blue	000000
Charcoal	000000
Chartreuse	000000
Chocolate	000000
Chocolate Brown	000000
Cobalt	000000
Cobalt Blue	000000
Coral	000000
Cornflower	000000
Cornflower Blue	000000
Cream	000000
Crimson	000000
Cyan	000000
Dark Blue	000000
Dark Brown	000000
Dark Cyan	000000
Dark Gray	000000
Dark Green	000000
Dark Lavender	000000
Dark Magenta	000000
Dark Olive	000000
Dark Orange	000000
Dark Pink	000000
Dark Purple	000000
Dark Red	000000
Dark Violet	000000
Dark Yellow	000000
Deep Blue	000000
Deep Purple	000000
Dusty Rose	000000
Eggplant	000000
Electric Blue	000000
Electric Green	000000
Emerald	000000
Emerald Green	000000
Evergreen	000000
Flesh	000000
Fluorescent Green	000000
Forest	000000
Forest Green	000000
Fuchsia	000000
Gold	000000
Golden Yellow	000000
Goldenrod	000000
Grape	000000
Grass	000000
Grass Green	000000
Gray	000000
Gray Blue	000000
Gray Green	000000
Green	000000
Green Blue	000000
Green Yellow	000000
Greenish Yellow	000000
Hot Pink	000000
Hunter Green	000000
Indigo	000000
Jade	000000
Jungle Green	000000
Kelly Green	000000
Key Lime	000000
Khaki	000000
Lavender	000000
Leaf Green	000000
Lemon	000000
Lemon Lime	000000
Lemon Yellow	000000
Light Blue	000000
Light Brown	000000
Light Cyan	000000
Light Gray	000000
Light Green	000000
Light Orange	000000
Light Pink	000000
Light Purple	000000
Light Teal	000000
Light Turquoise	000000
Light Violet	000000
Light Yellow	000000
Lilac	000000
Lime	000000
Lime Green	000000
Magenta	000000
Marine Blue	000000
Maroon	000000
Mauve	000000
Medium Blue	000000
Medium Brown	000000
Medium Green	000000
Midnight Blue	000000
Mint	000000
Mint Green	000000
Mocha	000000
Moss	000000
Moss Green	000000
Mustard	000000
Mustard Yellow	000000
Navy	000000
Navy Blue	000000
Neon Green	000000
Ocean Blue	000000
Ochre	000000
Olive	000000
Olive Green	000000
Orange	000000
Orange Red	000000
Orchid	000000
Pale Blue	000000
Pale Green	000000
Pale Pink	000000
Pale Yellow	000000
Pastel Green	000000
Pastel Pink	000000
Pea Green	000000
Peach	000000
Periwinkle	000000
Periwinkle Blue	000000
Pine	000000
Pine Green	000000
Pink	000000
Pistachio	000000
Plum	000000
Powder Blue	000000
Puce	000000
Pumpkin	000000
Purple	000000
Purple Blue	000000
Raspberry	000000
Red	000000
Red Brown	000000
Red Orange	000000
Reddish Brown	000000
Rose	000000
Rose Pink	000000
Royal Blue	000000
Royal Purple	000000
Rust	000000
Sage	000000
Sage Green	000000
Salmon	000000
Salmon Pink	000000
Sand	000000
Scarlet	000000
Sea Blue	000000
Sea Foam	000000
Sea Foam Green	000000
Sea Green	000000
Sienna	000000
Sky	000000
Sky Blue	000000
Slate	000000
Slate Blue	000000
Spring Green	000000
Steel Blue	000000
Sunshine Yellow	000000
Tan	000000
Tangerine	000000
Taupe	000000
Teal	000000
Teal Blue	000000
Terracotta	000000
True Blue	000000
Turquoise	000000
Violet	000000
Violet Blue	000000
Watermelon	000000
White	000000
Wine	000000
Yellow	000000
Yellow Green	000000
Yellow Orange	000000
Yellowish Green	000000
)KIVO" },
    { "xkcd", 900, u8R"KIVO(
Acid Green	000000
Adobe	000000
Algae	000000
Algae Green	000000
Almost Black	000000
Amber	000000
Amethyst	000000
Apple	000000
Apple Green	000000
Apricot	000000
Aqua	000000
Aqua Blue	000000
Aqua Green	000000
Aqua Marine	000000
Aquamarine	000000
Army Green	000000
Asparagus	000000
Aubergine	000000
Auburn	000000
Avocado	000000
Avocado Green	000000
Azul	000000
Azure	000000
Baby Blue	000000
Baby Green	000000
Baby Pink	000000
Baby Poo	000000
Baby Poop	000000
Baby Poop Brown	000000
Baby Poop Green	000000
Baby Puke Green	000000
Baby Purple	000000
Banana	000000
Banana Yellow	000000
Barbie Pink	000000
Barf Green	000000
Barney	000000
Barney Purple	000000
Battleship Gray	000000
Beige	000000
Berry	000000
Bile	000000
Black	000000
Bland	000000
Blood	000000
Blood Orange	000000
Blood Red	000000
Blue	000000
Blue Blue	000000
Blue Gray	000000
Blue Green	000000
Blue Purple	000000
Blue Violet	000000
Blue With A Hint Of Purple	000000
Blue/Gray	000000
Blue/Green	000000
Blue/Purple	000000
Blueberry	000000
Bluish	000000
Bluish Gray	000000
Bluish Green	000000
Bluish Purple	000000
Blurple	000000
Blush	000000
Blush Pink	000000
Booger	000000
Booger Green	000000
Bordeaux	000000
Boring Green	000000
Bottle Green	000000
Brick	000000
Brick Orange	000000
Brick Red	000000
Bright Aqua	000000
Bright Blue	000000
Bright Cyan	000000
Bright Green	000000
Bright Lavender	000000
Bright Light Blue	000000
Bright Light Green	000000
Bright Lilac	000000
Bright Lime	000000
Bright Lime Green	000000
Bright Magenta	000000
Bright Olive	000000
Bright Orange	000000
Bright Pink	000000
Bright Purple	000000
Bright Red	000000
Bright Sea Green	000000
Bright Sky Blue	000000
Bright Teal	000000
Bright Turquoise	000000
Bright Violet	000000
Bright Yellow	000000
Bright Yellow Green	000000
British Racing Green	000000
Bronze	000000
Brown	000000
Brown Gray	000000
Brown Green	000000
Brown Orange	000000
Brown Red	000000
Brown Yellow	000000
Brownish	000000
Brownish Gray	000000
Brownish Green	000000
Brownish Orange	000000
Brownish Pink	000000
Brownish Purple	000000
Brownish Red	000000
Brownish Yellow	000000
Browny Green	000000
Browny Orange	000000
Bruise	000000
Bubble Gum Pink	000000
Bubblegum	000000
Bubblegum Pink	000000
Buff	000000
Burgundy	000000
Burnt Orange	000000
Burnt Red	000000
Burnt Siena	000000
Burnt Sienna	000000
Burnt Umber	000000
Burnt Yellow	000000
Burple	000000
Butter	000000
Butter Yellow	000000
Butterscotch	000000
Cadet Blue	000000
Camel	000000
Camo	000000
Camo Green	000000
Camouflage Green	000000
Canary	000000
Canary Yellow	000000
Candy Pink	000000
Caramel	000000
Carmine	000000
Carnation	000000
Carnation Pink	000000
Carolina Blue	000000
Celadon	000000
Celery	000000
Cement	000000
Cerise	000000
Cerulean	000000
Cerulean Blue	000000
Charcoal	000000
Charcoal Gray	000000
Chartreuse	000000
Cherry	000000
Cherry Red	000000
Chestnut	000000
Chocolate	000000
Chocolate Brown	000000
Cinnamon	000000
Claret	000000
Clay	000000
Clay Brown	000000
Clear Blue	000000
Cloudy Blue	000000
Cobalt	000000
Cobalt Blue	000000
Cocoa	000000
Coffee	000000
Cool Blue	000000
Cool Gray	000000
Cool Green	000000
Copper	000000
Coral	000000
Coral Pink	000000
Cornflower	000000
Cornflower Blue	000000
Cranberry	000000
Cream	000000
Creme	000000
Crimson	000000
Custard	000000
Cyan	000000
Dandelion	000000
Dark	000000
Dark Aqua	000000
Dark Aquamarine	000000
Dark Beige	000000
Dark Blue	000000
Dark Blue Gray	000000
Dark Blue Green	000000
Dark Brown	000000
Dark Coral	000000
Dark Cream	000000
Dark Cyan	000000
Dark Forest Green	000000
Dark Fuchsia	000000
Dark Gold	000000
Dark Grass Green	000000
Dark Gray	000000
Dark Gray Blue	000000
Dark Green	000000
Dark Green Blue	000000
Dark Hot Pink	000000
Dark Indigo	000000
Dark Khaki	000000
Dark Lavender	000000
Dark Lilac	000000
Dark Lime	000000
Dark Lime Green	000000
Dark Magenta	000000
Dark Maroon	000000
Dark Mauve	000000
Dark Mint	000000
Dark Mint Green	000000
Dark Mustard	000000
Dark Navy	000000
Dark Navy Blue	000000
Dark Olive	000000
Dark Olive Green	000000
Dark Orange	000000
Dark Pastel Green	000000
Dark Peach	000000
Dark Periwinkle	000000
Dark Pink	000000
Dark Plum	000000
Dark Purple	000000
Dark Red	000000
Dark Rose	000000
Dark Royal Blue	000000
Dark Sage	000000
Dark Salmon	000000
Dark Sand	000000
Dark Sea Foam	000000
Dark Sea Foam Green	000000
Dark Sea Green	000000
Dark Sky Blue	000000
Dark Slate Blue	000000
Dark Tan	000000
Dark Taupe	000000
Dark Teal	000000
Dark Turquoise	000000
Dark Violet	000000
Dark Yellow	000000
Dark Yellow Green	000000
Darkish Blue	000000
Darkish Green	000000
Darkish Pink	000000
Darkish Purple	000000
Darkish Red	000000
Deep Aqua	000000
Deep Blue	000000
Deep Brown	000000
Deep Green	000000
Deep Lavender	000000
Deep Lilac	000000
Deep Magenta	000000
Deep Orange	000000
Deep Pink	000000
Deep Purple	000000
Deep Red	000000
Deep Rose	000000
Deep Sea Blue	000000
Deep Sky Blue	000000
Deep Teal	000000
Deep Turquoise	000000
Deep Violet	000000
Denim	000000
Denim Blue	000000
Desert	000000
Diarrhea	000000
Dirt	000000
Dirt Brown	000000
Dirty Blue	000000
Dirty Green	000000
Dirty Orange	000000
Dirty Pink	000000
Dirty Purple	000000
Dirty Yellow	000000
Dodger Blue	000000
Drab	000000
Drab Green	000000
Dried Blood	000000
Duck Egg Blue	000000
Dull Blue	000000
Dull Brown	000000
Dull Green	000000
Dull Orange	000000
Dull Pink	000000
Dull Purple	000000
Dull Red	000000
Dull Teal	000000
Dull Yellow	000000
Dusk	000000
Dusk Blue	000000
Dusky Blue	000000
Dusky Pink	000000
Dusky Purple	000000
Dusky Rose	000000
Dust	000000
Dusty Blue	000000
Dusty Green	000000
Dusty Lavender	000000
Dusty Orange	000000
Dusty Pink	000000
Dusty Purple	000000
Dusty Red	000000
Dusty Rose	000000
Dusty Teal	000000
Earth	000000
Easter Green	000000
Easter Purple	000000
Ecru	000000
Egg Shell	000000
Eggplant	000000
Eggplant Purple	000000
Eggshell	000000
Eggshell Blue	000000
Electric Blue	000000
Electric Green	000000
Electric Lime	000000
Electric Pink	000000
Electric Purple	000000
Emerald	000000
Emerald Green	000000
Evergreen	000000
Faded Blue	000000
Faded Green	000000
Faded Orange	000000
Faded Pink	000000
Faded Purple	000000
Faded Red	000000
Faded Yellow	000000
Fawn	000000
Fern	000000
Fern Green	000000
Fire Engine Red	000000
Flat Blue	000000
Flat Green	000000
Fluorescent Green	000000
Foam Green	000000
Forest	000000
Forest Green	000000
Forrest Green	000000
French Blue	000000
Fresh Green	000000
Frog Green	000000
Fuchsia	000000
Gold	000000
Golden	000000
Golden Brown	000000
Golden Rod	000000
Golden Yellow	000000
Goldenrod	000000
Grape	000000
Grape Purple	000000
Grapefruit	000000
Grass	000000
Grass Green	000000
Grassy Green	000000
Gray	000000
Gray Blue	000000
Gray Brown	000000
Gray Green	000000
Gray Pink	000000
Gray Purple	000000
Gray Teal	000000
Gray/Blue	000000
Gray/Green	000000
Grayish	000000
Green	000000
Green Apple	000000
Green Blue	000000
Green Brown	000000
Green Gray	000000
Green Teal	000000
Green Yellow	000000
Green/Blue	000000
Green/Yellow	000000
Greenish	000000
Greenish Beige	000000
Greenish Blue	000000
Greenish Brown	000000
Greenish Cyan	000000
Greenish Gray	000000
Greenish Tan	000000
Greenish Teal	000000
Greenish Turquoise	000000
Greenish Yellow	000000
Gross Green	000000
Gunmetal	000000
Hazel	000000
Heather	000000
Heliotrope	000000
Highlighter Green	000000
Hospital Green	000000
Hot Green	000000
Hot Magenta	000000
Hot Pink	000000
Hot Purple	000000
Hunter Green	000000
Ice	000000
Ice Blue	000000
Icky Green	000000
Indian Red	000000
Indigo	000000
Indigo Blue	000000
Iris	000000
Irish Green	000000
Ivory	000000
Jade	000000
Jade Green	000000
Jungle Green	000000
Kelley Green	000000
Kelly Green	000000
Kermit Green	000000
Key Lime	000000
Khaki	000000
Khaki Green	000000
Kiwi	000000
Kiwi Green	000000
Lavender	000000
Lavender Blue	000000
Lavender Pink	000000
Lawn Green	000000
Leaf	000000
Leaf Green	000000
Leafy Green	000000
Leather	000000
Lemon	000000
Lemon Green	000000
Lemon Lime	000000
Lemon Yellow	000000
Lichen	000000
Light Aqua	000000
Light Aquamarine	000000
Light Beige	000000
Light Blue	000000
Light Blue Gray	000000
Light Blue Green	000000
Light Bluish Green	000000
Light Bright Green	000000
Light Brown	000000
Light Burgundy	000000
Light Cyan	000000
Light Eggplant	000000
Light Forest Green	000000
Light Gold	000000
Light Grass Green	000000
Light Gray	000000
Light Gray Blue	000000
Light Gray Green	000000
Light Green	000000
Light Green Blue	000000
Light Greenish Blue	000000
Light Indigo	000000
Light Khaki	000000
Light Lavender	000000
Light Light Blue	000000
Light Light Green	000000
Light Lilac	000000
Light Lime	000000
Light Lime Green	000000
Light Magenta	000000
Light Maroon	000000
Light Mauve	000000
Light Mint	000000
Light Mint Green	000000
Light Moss Green	000000
Light Mustard	000000
Light Navy	000000
Light Navy Blue	000000
Light Neon Green	000000
Light Olive	000000
Light Olive Green	000000
Light Orange	000000
Light Pastel Green	000000
Light Pea Green	000000
Light Peach	000000
Light Periwinkle	000000
Light Pink	000000
Light Plum	000000
Light Purple	000000
Light Red	000000
Light Rose	000000
Light Royal Blue	000000
Light Sage	000000
Light Salmon	000000
Light Sea Foam	000000
Light Sea Foam Green	000000
Light Sea Green	000000
Light Sky Blue	000000
Light Tan	000000
Light Teal	000000
Light Turquoise	000000
Light Violet	000000
Light Yellow	000000
Light Yellow Green	000000
Light Yellowish Green	000000
Lighter Green	000000
Lighter Purple	000000
Lightish Blue	000000
Lightish Green	000000
Lightish Purple	000000
Lightish Red	000000
Lilac	000000
Lime	000000
Lime Green	000000
Lime Yellow	000000
Lipstick	000000
Lipstick Red	000000
Macaroni And Cheese	000000
Magenta	000000
Mahogany	000000
Maize	000000
Mango	000000
Manilla	000000
Marigold	000000
Marine	000000
Marine Blue	000000
Maroon	000000
Mauve	000000
Medium Blue	000000
Medium Brown	000000
Medium Gray	000000
Medium Green	000000
Medium Pink	000000
Medium Purple	000000
Melon	000000
Merlot	000000
Metallic Blue	000000
Mid Blue	000000
Mid Green	000000
Midnight	000000
Midnight Blue	000000
Midnight Purple	000000
Military Green	000000
Milk Chocolate	000000
Mint	000000
Mint Green	000000
Minty Green	000000
Mocha	000000
Moss	000000
Moss Green	000000
Mossy Green	000000
Mud	000000
Mud Brown	000000
Mud Green	000000
Muddy Brown	000000
Muddy Green	000000
Muddy Yellow	000000
Mulberry	000000
Murky Green	000000
Mushroom	000000
Mustard	000000
Mustard Brown	000000
Mustard Green	000000
Mustard Yellow	000000
Muted Blue	000000
Muted Green	000000
Muted Pink	000000
Muted Purple	000000
Nasty Green	000000
Navy	000000
Navy Blue	000000
Navy Green	000000
Neon Blue	000000
Neon Green	000000
Neon Pink	000000
Neon Purple	000000
Neon Red	000000
Neon Yellow	000000
Nice Blue	000000
Night Blue	000000
Ocean	000000
Ocean Blue	000000
Ocean Green	000000
Ocher	000000
Ochre	000000
Off Blue	000000
Off Green	000000
Off White	000000
Off Yellow	000000
Old Pink	000000
Old Rose	000000
Olive	000000
Olive Brown	000000
Olive Drab	000000
Olive Green	000000
Olive Yellow	000000
Orange	000000
Orange Brown	000000
Orange Pink	000000
Orange Red	000000
Orange Yellow	000000
Orangeish	000000
Orangey Brown	000000
Orangey Red	000000
Orangey Yellow	000000
Orangish	000000
Orangish Brown	000000
Orangish Red	000000
Orchid	000000
Pale	000000
Pale Aqua	000000
Pale Blue	000000
Pale Brown	000000
Pale Cyan	000000
Pale Gold	000000
Pale Gray	000000
Pale Green	000000
Pale Lavender	000000
Pale Light Green	000000
Pale Lilac	000000
Pale Lime	000000
Pale Lime Green	000000
Pale Magenta	000000
Pale Mauve	000000
Pale Olive	000000
Pale Olive Green	000000
Pale Orange	000000
Pale Peach	000000
Pale Pink	000000
Pale Purple	000000
Pale Red	000000
Pale Rose	000000
Pale Salmon	000000
Pale Sky Blue	000000
Pale Teal	000000
Pale Turquoise	000000
Pale Violet	000000
Pale Yellow	000000
Parchment	000000
Pastel Blue	000000
Pastel Green	000000
Pastel Orange	000000
Pastel Pink	000000
Pastel Purple	000000
Pastel Red	000000
Pastel Yellow	000000
Pea	000000
Pea Green	000000
Pea Soup	000000
Pea Soup Green	000000
Peach	000000
Peachy Pink	000000
Peacock Blue	000000
Pear	000000
Periwinkle	000000
Periwinkle Blue	000000
Petrol	000000
Pig Pink	000000
Pine	000000
Pine Green	000000
Pink	000000
Pink Purple	000000
Pink Red	000000
Pink/Purple	000000
Pinkish	000000
Pinkish Brown	000000
Pinkish Gray	000000
Pinkish Orange	000000
Pinkish Purple	000000
Pinkish Red	000000
Pinkish Tan	000000
Pinky	000000
Pinky Purple	000000
Pinky Red	000000
Piss Yellow	000000
Pistachio	000000
Plum	000000
Plum Purple	000000
Poison Green	000000
Poo	000000
Poo Brown	000000
Poop	000000
Poop Brown	000000
Poop Green	000000
Powder Blue	000000
Powder Pink	000000
Primary Blue	000000
Prussian Blue	000000
Puce	000000
Puke	000000
Puke Brown	000000
Puke Green	000000
Puke Yellow	000000
Pumpkin	000000
Pumpkin Orange	000000
Pure Blue	000000
Purple	000000
Purple Blue	000000
Purple Brown	000000
Purple Gray	000000
Purple Pink	000000
Purple Red	000000
Purple/Blue	000000
Purple/Pink	000000
Purpleish	000000
Purplish	000000
Purply	000000
Purply Blue	000000
Purply Pink	000000
Putty	000000
Racing Green	000000
Radioactive Green	000000
Raspberry	000000
Raw Sienna	000000
Raw Umber	000000
Really Light Blue	000000
Red	000000
Red Brown	000000
Red Orange	000000
Red Pink	000000
Red Purple	000000
Red Violet	000000
Red Wine	000000
Reddish	000000
Reddish Brown	000000
Reddish Gray	000000
Reddish Orange	000000
Reddish Pink	000000
Reddish Purple	000000
Reddy Brown	000000
Rich Blue	000000
Rich Purple	000000
Robin Egg Blue	000000
Robin's Egg	000000
Robin's Egg Blue	000000
Rosa	000000
Rose	000000
Rose Pink	000000
Rose Red	000000
Rosy Pink	000000
Rouge	000000
Royal	000000
Royal Blue	000000
Royal Purple	000000
Ruby	000000
Russet	000000
Rust	000000
Rust Brown	000000
Rust Orange	000000
Rust Red	000000
Rusty Orange	000000
Rusty Red	000000
Saffron	000000
Sage	000000
Sage Green	000000
Salmon	000000
Salmon Pink	000000
Sand	000000
Sand Brown	000000
Sand Yellow	000000
Sandstone	000000
Sandy	000000
Sandy Brown	000000
Sandy Yellow	000000
Sap Green	000000
Sapphire	000000
Scarlet	000000
Sea	000000
Sea Blue	000000
Sea Foam	000000
Sea Foam Blue	000000
Sea Foam Green	000000
Sea Green	000000
Seaweed	000000
Seaweed Green	000000
Sepia	000000
Shamrock	000000
Shamrock Green	000000
Shocking Pink	000000
Sick Green	000000
Sickly Green	000000
Sickly Yellow	000000
Sienna	000000
Silver	000000
Sky	000000
Sky Blue	000000
Slate	000000
Slate Blue	000000
Slate Gray	000000
Slate Green	000000
Slime Green	000000
Snot	000000
Snot Green	000000
Soft Blue	000000
Soft Green	000000
Soft Pink	000000
Soft Purple	000000
Spearmint	000000
Spring Green	000000
Spruce	000000
Squash	000000
Steel	000000
Steel Blue	000000
Steel Gray	000000
Stone	000000
Stormy Blue	000000
Straw	000000
Strawberry	000000
Strong Blue	000000
Strong Pink	000000
Sun Yellow	000000
Sunflower	000000
Sunflower Yellow	000000
Sunny Yellow	000000
Sunshine Yellow	000000
Swamp	000000
Swamp Green	000000
Tan	000000
Tan Brown	000000
Tan Green	000000
Tangerine	000000
Taupe	000000
Tea	000000
Tea Green	000000
Teal	000000
Teal Blue	000000
Teal Green	000000
Terra Cotta	000000
Tiffany Blue	000000
Tomato	000000
Tomato Red	000000
Topaz	000000
Toxic Green	000000
Tree Green	000000
True Blue	000000
True Green	000000
Turquoise	000000
Turquoise Blue	000000
Turquoise Green	000000
Turtle Green	000000
Twilight	000000
Twilight Blue	000000
Ugly Blue	000000
Ugly Brown	000000
Ugly Green	000000
Ugly Pink	000000
Ugly Purple	000000
Ugly Yellow	000000
Ultramarine	000000
Ultramarine Blue	000000
Umber	000000
Velvet	000000
Vermillion	000000
Very Dark Blue	000000
Very Dark Brown	000000
Very Dark Green	000000
Very Dark Purple	000000
Very Light Blue	000000
Very Light Brown	000000
Very Light Green	000000
Very Light Pink	000000
Very Light Purple	000000
Very Pale Blue	000000
Very Pale Green	000000
Vibrant Blue	000000
Vibrant Green	000000
Vibrant Purple	000000
Violet	000000
Violet Blue	000000
Violet Pink	000000
Violet Red	000000
Viridian	000000
Vivid Blue	000000
Vivid Green	000000
Vivid Purple	000000
Vomit	000000
Vomit Green	000000
Vomit Yellow	000000
Warm Blue	000000
Warm Brown	000000
Warm Gray	000000
Warm Pink	000000
Warm Purple	000000
Washed Out Green	000000
Water Blue	000000
Watermelon	000000
Weird Green	000000
Wheat	000000
White	000000
Windows Blue	000000
Wine	000000
Wine Red	000000
Wintergreen	000000
Wisteria	000000
Yellow	000000
Yellow Brown	000000
Yellow Green	000000
Yellow Ochre	000000
Yellow Orange	000000
Yellow Tan	000000
Yellow/Green	000000
Yellowish	000000
Yellowish Brown	000000
Yellowish Green	000000
Yellowish Orange	000000
Yellowish Tan	000000
Yellowy Brown	000000
Yellowy Green	000000
)KIVO" },
    { "PseudoPantone", 907, u8R"KIVO(
100C	#000000
101C	#000000
102C	#000000
103C	#000000
104C	#000000
105C	#000000
106C	#000000
107C	#000000
108C	#000000
109C	#000000
110C	#000000
111C	#000000
112C	#000000
113C	#000000
114C	#000000
115C	#000000
116C	#000000
117C	#000000
118C	#000000
119C	#000000
120C	#000000
121C	#000000
122C	#000000
123C	#000000
124C	#000000
125C	#000000
126C	#000000
127C	#000000
128C	#000000
129C	#000000
130C	#000000
131C	#000000
132C	#000000
133C	#000000
134C	#000000
135C	#000000
136C	#000000
137C	#000000
138C	#000000
139C	#000000
140C	#000000
141C	#000000
142C	#000000
143C	#000000
144C	#000000
145C	#000000
146C	#000000
147C	#000000
148C	#000000
149C	#000000
150C	#000000
151C	#000000
152C	#000000
153C	#000000
154C	#000000
155C	#000000
156C	#000000
157C	#000000
158C	#000000
159C	#000000
160C	#000000
161C	#000000
162C	#000000
163C	#000000
164C	#000000
165C	#000000
166C	#000000
167C	#000000
168C	#000000
169C	#000000
170C	#000000
171C	#000000
172C	#000000
173C	#000000
174C	#000000
175C	#000000
176C	#000000
177C	#000000
178C	#000000
179C	#000000
180C	#000000
181C	#000000
182C	#000000
183C	#000000
184C	#000000
185C	#000000
186C	#000000
187C	#000000
188C	#000000
189C	#000000
190C	#000000
191C	#000000
192C	#000000
193C	#000000
194C	#000000
196C	#000000
197C	#000000
198C	#000000
199C	#000000
200C	#000000
201C	#000000
202C	#000000
203C	#000000
204C	#000000
205C	#000000
206C	#000000
207C	#000000
208C	#000000
209C	#000000
210C	#000000
211C	#000000
212C	#000000
213C	#000000
214C	#000000
215C	#000000
216C	#000000
217C	#000000
218C	#000000
219C	#000000
220C	#000000
221C	#000000
222C	#000000
223C	#000000
224C	#000000
225C	#000000
226C	#000000
227C	#000000
228C	#000000
229C	#000000
230C	#000000
231C	#000000
232C	#000000
233C	#000000
234C	#000000
235C	#000000
236C	#000000
237C	#000000
238C	#000000
239C	#000000
240C	#000000
241C	#000000
242C	#000000
243C	#000000
244C	#000000
245C	#000000
246C	#000000
247C	#000000
248C	#000000
249C	#000000
250C	#000000
251C	#000000
252C	#000000
253C	#000000
254C	#000000
255C	#000000
256C	#000000
257C	#000000
258C	#000000
259C	#000000
260C	#000000
261C	#000000
262C	#000000
263C	#000000
264C	#000000
265C	#000000
266C	#000000
267C	#000000
268C	#000000
269C	#000000
270C	#000000
271C	#000000
272C	#000000
273C	#000000
274C	#000000
275C	#000000
276C	#000000
277C	#000000
278C	#000000
279C	#000000
280C	#000000
281C	#000000
282C	#000000
283C	#000000
284C	#000000
285C	#000000
286C	#000000
287C	#000000
288C	#000000
289C	#000000
290C	#000000
291C	#000000
292C	#000000
293C	#000000
294C	#000000
295C	#000000
296C	#000000
297C	#000000
298C	#000000
299C	#000000
300C	#000000
301C	#000000
302C	#000000
303C	#000000
304C	#000000
305C	#000000
306C	#000000
307C	#000000
308C	#000000
309C	#000000
310C	#000000
311C	#000000
312C	#000000
313C	#000000
314C	#000000
315C	#000000
316C	#000000
317C	#000000
318C	#000000
319C	#000000
320C	#000000
321C	#000000
322C	#000000
323C	#000000
324C	#000000
325C	#000000
326C	#000000
327C	#000000
328C	#000000
329C	#000000
330C	#000000
331C	#000000
332C	#000000
333C	#000000
334C	#000000
335C	#000000
336C	#000000
337C	#000000
338C	#000000
339C	#000000
340C	#000000
341C	#000000
342C	#000000
343C	#000000
344C	#000000
345C	#000000
346C	#000000
347C	#000000
348C	#000000
349C	#000000
350C	#000000
351C	#000000
352C	#000000
353C	#000000
354C	#000000
355C	#000000
356C	#000000
357C	#000000
358C	#000000
359C	#000000
360C	#000000
361C	#000000
362C	#000000
363C	#000000
364C	#000000
365C	#000000
366C	#000000
367C	#000000
368C	#000000
369C	#000000
370C	#000000
371C	#000000
372C	#000000
373C	#000000
374C	#000000
375C	#000000
376C	#000000
377C	#000000
378C	#000000
379C	#000000
380C	#000000
381C	#000000
382C	#000000
383C	#000000
384C	#000000
385C	#000000
386C	#000000
387C	#000000
388C	#000000
389C	#000000
390C	#000000
391C	#000000
392C	#000000
393C	#000000
394C	#000000
395C	#000000
396C	#000000
397C	#000000
398C	#000000
399C	#000000
400C	#000000
401C	#000000
402C	#000000
403C	#000000
404C	#000000
405C	#000000
406C	#000000
408C	#000000
409C	#000000
410C	#000000
411C	#000000
412C	#000000
413C	#000000
414C	#000000
415C	#000000
416C	#000000
417C	#000000
418C	#000000
419C	#000000
420C	#000000
421C	#000000
422C	#000000
423C	#000000
424C	#000000
425C	#000000
426C	#000000
427C	#000000
428C	#000000
429C	#000000
430C	#000000
431C	#000000
432C	#000000
433C	#000000
434C	#000000
435C	#000000
436C	#000000
437C	#000000
438C	#000000
439C	#000000
440C	#000000
441C	#000000
442C	#000000
443C	#000000
444C	#000000
445C	#000000
446C	#000000
447C	#000000
448C	#000000
449C	#000000
450C	#000000
451C	#000000
452C	#000000
453C	#000000
454C	#000000
455C	#000000
456C	#000000
457C	#000000
458C	#000000
459C	#000000
460C	#000000
461C	#000000
462C	#000000
463C	#000000
464C	#000000
465C	#000000
466C	#000000
467C	#000000
468C	#000000
469C	#000000
470C	#000000
471C	#000000
472C	#000000
473C	#000000
474C	#000000
475C	#000000
476C	#000000
477C	#000000
478C	#000000
479C	#000000
480C	#000000
481C	#000000
482C	#000000
483C	#000000
484C	#000000
485C	#000000
486C	#000000
487C	#000000
488C	#000000
489C	#000000
490C	#000000
491C	#000000
492C	#000000
494C	#000000
495C	#000000
496C	#000000
497C	#000000
498C	#000000
499C	#000000
500C	#000000
501C	#000000
502C	#000000
503C	#000000
504C	#000000
505C	#000000
506C	#000000
507C	#000000
508C	#000000
509C	#000000
510C	#000000
511C	#000000
512C	#000000
513C	#000000
514C	#000000
515C	#000000
516C	#000000
517C	#000000
518C	#000000
519C	#000000
520C	#000000
521C	#000000
522C	#000000
523C	#000000
524C	#000000
525C	#000000
526C	#000000
527C	#000000
528C	#000000
529C	#000000
530C	#000000
531C	#000000
532C	#000000
533C	#000000
534C	#000000
535C	#000000
536C	#000000
537C	#000000
538C	#000000
539C	#000000
540C	#000000
541C	#000000
542C	#000000
543C	#000000
544C	#000000
545C	#000000
546C	#000000
547C	#000000
548C	#000000
549C	#000000
550C	#000000
551C	#000000
552C	#000000
553C	#000000
554C	#000000
555C	#000000
556C	#000000
557C	#000000
558C	#000000
559C	#000000
560C	#000000
561C	#000000
562C	#000000
563C	#000000
564C	#000000
565C	#000000
566C	#000000
567C	#000000
569C	#000000
570C	#000000
571C	#000000
572C	#000000
573C	#000000
574C	#000000
575C	#000000
576C	#000000
577C	#000000
578C	#000000
579C	#000000
580C	#000000
581C	#000000
582C	#000000
583C	#000000
584C	#000000
585C	#000000
586C	#000000
587C	#000000
600C	#000000
601C	#000000
602C	#000000
603C	#000000
604C	#000000
605C	#000000
606C	#000000
607C	#000000
608C	#000000
609C	#000000
610C	#000000
611C	#000000
612C	#000000
613C	#000000
614C	#000000
615C	#000000
616C	#000000
617C	#000000
618C	#000000
619C	#000000
620C	#000000
621C	#000000
622C	#000000
623C	#000000
624C	#000000
625C	#000000
626C	#000000
627C	#000000
628C	#000000
629C	#000000
630C	#000000
631C	#000000
632C	#000000
633C	#000000
634C	#000000
635C	#000000
636C	#000000
637C	#000000
638C	#000000
639C	#000000
640C	#000000
641C	#000000
642C	#000000
643C	#000000
644C	#000000
645C	#000000
646C	#000000
647C	#000000
648C	#000000
649C	#000000
650C	#000000
651C	#000000
652C	#000000
653C	#000000
654C	#000000
655C	#000000
656C	#000000
657C	#000000
658C	#000000
659C	#000000
660C	#000000
661C	#000000
662C	#000000
663C	#000000
664C	#000000
665C	#000000
666C	#000000
667C	#000000
668C	#000000
669C	#000000
670C	#000000
671C	#000000
672C	#000000
673C	#000000
674C	#000000
675C	#000000
676C	#000000
677C	#000000
678C	#000000
679C	#000000
680C	#000000
681C	#000000
682C	#000000
683C	#000000
684C	#000000
685C	#000000
686C	#000000
687C	#000000
688C	#000000
689C	#000000
690C	#000000
691C	#000000
692C	#000000
693C	#000000
694C	#000000
695C	#000000
696C	#000000
697C	#000000
698C	#000000
699C	#000000
700C	#000000
701C	#000000
702C	#000000
703C	#000000
704C	#000000
705C	#000000
706C	#000000
707C	#000000
708C	#000000
709C	#000000
710C	#000000
711C	#000000
712C	#000000
713C	#000000
714C	#000000
715C	#000000
716C	#000000
717C	#000000
718C	#000000
719C	#000000
720C	#000000
721C	#000000
722C	#000000
723C	#000000
724C	#000000
725C	#000000
726C	#000000
727C	#000000
728C	#000000
729C	#000000
730C	#000000
731C	#000000
732C	#000000
801C	#000000
802C	#000000
803C	#000000
804C	#000000
805C	#000000
806C	#000000
807C	#000000
808C	#000000
809C	#000000
810C	#000000
811C	#000000
812C	#000000
813C	#000000
814C	#000000
1205C	#000000
1215C	#000000
1225C	#000000
1235C	#000000
1245C	#000000
1255C	#000000
1265C	#000000
1345C	#000000
1355C	#000000
1365C	#000000
1375C	#000000
1385C	#000000
1395C	#000000
1405C	#000000
1485C	#000000
1495C	#000000
1505C	#000000
1525C	#000000
1535C	#000000
1545C	#000000
1555C	#000000
1565C	#000000
1575C	#000000
1585C	#000000
1595C	#000000
1605C	#000000
1615C	#000000
1625C	#000000
1635C	#000000
1645C	#000000
1655C	#000000
1665C	#000000
1675C	#000000
1685C	#000000
1765C	#000000
1767C	#000000
1775C	#000000
1777C	#000000
1785C	#000000
1787C	#000000
1788C	#000000
1795C	#000000
1797C	#000000
1805C	#000000
1807C	#000000
1815C	#000000
1817C	#000000
1895C	#000000
1905C	#000000
1915C	#000000
1925C	#000000
1935C	#000000
1945C	#000000
1955C	#000000
2365C	#000000
2375C	#000000
2385C	#000000
2395C	#000000
2405C	#000000
2415C	#000000
2425C	#000000
2562C	#000000
2563C	#000000
2567C	#000000
2572C	#000000
2573C	#000000
2577C	#000000
2582C	#000000
2583C	#000000
2587C	#000000
2592C	#000000
2593C	#000000
2597C	#000000
2602C	#000000
2603C	#000000
2607C	#000000
2612C	#000000
2613C	#000000
2617C	#000000
2622C	#000000
2623C	#000000
2627C	#000000
2635C	#000000
2645C	#000000
2655C	#000000
2665C	#000000
2685C	#000000
2695C	#000000
2705C	#000000
2706C	#000000
2707C	#000000
2708C	#000000
2715C	#000000
2716C	#000000
2717C	#000000
2718C	#000000
2725C	#000000
2726C	#000000
2727C	#000000
2728C	#000000
2735C	#000000
2736C	#000000
2738C	#000000
2745C	#000000
2746C	#000000
2747C	#000000
2748C	#000000
2755C	#000000
2756C	#000000
2757C	#000000
2758C	#000000
2765C	#000000
2766C	#000000
2767C	#000000
2768C	#000000
2905C	#000000
2915C	#000000
2925C	#000000
2935C	#000000
2945C	#000000
2955C	#000000
2965C	#000000
2975C	#000000
2985C	#000000
2995C	#000000
3005C	#000000
3015C	#000000
3025C	#000000
3035C	#000000
3105C	#000000
3115C	#000000
3125C	#000000
3135C	#000000
3145C	#000000
3155C	#000000
3165C	#000000
3242C	#000000
3245C	#000000
3248C	#000000
3252C	#000000
3255C	#000000
3258C	#000000
3262C	#000000
3265C	#000000
3268C	#000000
3272C	#000000
3275C	#000000
3278C	#000000
3282C	#000000
3285C	#000000
3288C	#000000
3292C	#000000
3295C	#000000
3298C	#000000
3302C	#000000
3305C	#000000
3308C	#000000
3375C	#000000
3385C	#000000
3395C	#000000
3405C	#000000
3415C	#000000
3425C	#000000
3435C	#000000
3935C	#000000
3945C	#000000
3955C	#000000
3965C	#000000
3975C	#000000
3985C	#000000
3995C	#000000
4485C	#000000
4495C	#000000
4505C	#000000
4515C	#000000
4525C	#000000
4535C	#000000
4545C	#000000
4625C	#000000
4635C	#000000
4645C	#000000
4655C	#000000
4665C	#000000
4675C	#000000
4685C	#000000
4695C	#000000
4705C	#000000
4715C	#000000
4725C	#000000
4735C	#000000
4745C	#000000
4755C	#000000
4975C	#000000
4985C	#000000
4995C	#000000
5005C	#000000
5015C	#000000
5025C	#000000
5035C	#000000
5115C	#000000
5125C	#000000
5135C	#000000
5145C	#000000
5155C	#000000
5165C	#000000
5175C	#000000
5185C	#000000
5195C	#000000
5205C	#000000
5215C	#000000
5225C	#000000
5235C	#000000
5245C	#000000
5255C	#000000
5265C	#000000
5275C	#000000
5285C	#000000
5295C	#000000
5305C	#000000
5315C	#000000
5395C	#000000
5405C	#000000
5415C	#000000
5425C	#000000
5435C	#000000
5445C	#000000
5455C	#000000
5463C	#000000
5467C	#000000
5473C	#000000
5477C	#000000
5483C	#000000
5487C	#000000
5493C	#000000
5497C	#000000
5503C	#000000
5507C	#000000
5513C	#000000
5517C	#000000
5523C	#000000
5527C	#000000
5535C	#000000
5545C	#000000
5555C	#000000
5565C	#000000
5575C	#000000
5585C	#000000
5595C	#000000
5605C	#000000
5615C	#000000
5625C	#000000
5635C	#000000
5645C	#000000
5655C	#000000
5665C	#000000
5743C	#000000
5747C	#000000
5753C	#000000
5757C	#000000
5763C	#000000
5767C	#000000
5773C	#000000
5777C	#000000
5783C	#000000
5787C	#000000
5793C	#000000
5797C	#000000
5803C	#000000
5807C	#000000
5815C	#000000
5825C	#000000
5835C	#000000
5845C	#000000
5855C	#000000
5865C	#000000
5875C	#000000
)KIVO" },
};

const int kDictionaryCount = int(sizeof(kDictionaries) / sizeof(kDictionaries[0]));

} // namespace colordata
