#pragma once

// The product's and its maker's names, written once. The settings file, the application
// home's default folder, window titles and the web site all take them from here.
struct Product {
    static constexpr char name[] = "Kivotab";
    static constexpr char company[] = "Solvane";
    // Reverse-domain identifier: names the settings file.
    static constexpr char identifier[] = "net.solvane.kivotab";
    static constexpr char webSiteHost[] = "www.solvane.net";

    // Gives the running application the product's name and its maker's, so Qt's own
    // folders and window titles agree with ours.
    static void nameApplication();
};
