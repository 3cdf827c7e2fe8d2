// The texts of both string tables as the game must show them, written out independently of
// res/texts.inc (Windows-1252 bytes), for the host and the Wine tests alike.
#ifndef ONDULOR_TESTS_HOST_APP_EXPECTED_TEXTS_H
#define ONDULOR_TESTS_HOST_APP_EXPECTED_TEXTS_H

struct ExpectedText {
    int id;
    const char* french;
    const char* english;  // nullptr: the English id has no text
};

inline const ExpectedText expected_texts[] = {
    {400, "&Partie", "&Game"},
    {401, "&Options", "&Options"},
    {402, "&Aide", "&Help"},
    {410, "Nouvelle partie\tF2", "New Game\tF2"},
    {411, "Quitter", "Quit"},
    {420, "Param\xE8tres du jeu", "Game settings"},
    {421, "Afficher scores", "Display scores"},
    {422, "English",
     "Fran\xE7"
     "ais"},
    {430, "A propos de l'Ondulor", "About the Ondulor"},
    {431, "Aide", "Help"},
    {450, "Ondulor\nVersion 1.0", "Ondulor\nVersion 1.0"},
    {451, "Ondulor Games\nsupport@ondulor.example", "Ondulor Games\nsupport@ondulor.example"},
    {480, "Bravo !!", nullptr},
    {481, "Veuillez indiquer votre nom", "Please enter your name:"},
    {500, "Ondulor - \xA9 Ondulor Games", "Ondulor - \xA9 Ondulor Games"},
    {501, "Ondulor", "Ondulor"},
    {502, "Oui", "Yes"},
    {503, "Non", "No"},
    {504, "OK", "OK"},
    {505, "Annuler", "Cancel"},
    {506, "Ondulor", "Ondulor"},
    {507, "Langue=%d", "Language=%d"},
    {508, "Son=%d", "Sound=%d"},
    {509, "Meilleurs scores", "Best Scores"},
    {510, "Bravo,\n\nvous avez marqu\xE9 %d points \nen %02d' %02d\".",
     "Congratulations,\n\nyou scored %d points \nin %02d' %02d\"."},
    {516,
     "Partie termin\xE9"
     "e",
     "Game over"},
    {517, "Effacer les scores", "Reset Scores"},
    {518, "Points : %d", "Points: %d"},
    {519,
     "Dur\xE9"
     "e=%d",
     "Duration=%d"},
    {520,
     "Scores non enregistr\xE9"
     "s : nouvel essai plus tard",
     "Scores not saved: will try again"},
    {550, "Param\xE9trage du jeu", "Game Settings"},
    {551, "Effets sonores", "Sound effects"},
    {552, "Langue d'affichage", "Working language"},
    {553, "Anglais", "English"},
    {554,
     "Fran\xE7"
     "ais",
     "French"},
    {555,
     "Dur\xE9"
     "e de jeu (en s.)",
     "Duration (in s.)"},
    {560, "Plateau", "Board"},
    {561, "Poser", "Lay"},
    {562, "Suivant : %s", "Next: %s"},
    {563, ", puis %s", ", then %s"},
    {564, "%s, ligne %d, colonne %d", "%s, row %d, column %d"},
    {565, "%s, en eau, ligne %d, colonne %d", "%s, with water, row %d, column %d"},
    {570, "vide", "empty"},
    {571, "tuyau horizontal", "horizontal pipe"},
    {572, "tuyau vertical", "vertical pipe"},
    {573, "coude nord-ouest", "north-west elbow"},
    {574, "coude sud-ouest", "south-west elbow"},
    {575, "coude nord-est", "north-east elbow"},
    {576, "coude sud-est", "south-east elbow"},
    {577, "croix", "cross"},
    {578, "source", "source"},
};

#endif
