// Resource, command, control and text ids of Ondulor, shared by the .rc, the code and the tests.
// Plain #defines because windres reads this file too.
#ifndef ONDULOR_RES_RESOURCE_IDS_H
#define ONDULOR_RES_RESOURCE_IDS_H

/* Resources */
#define RES_ICON_APP 1
#define RES_MENU_MAIN 128
#define RES_ACCEL_MAIN 129
#define RES_SOUND_REFUSAL 3030 /* WAVE resource: 3030 + sound index 0 */
/* Tile bitmaps: unlit empty, pieces 1-7 and source are 1-9; lit pieces 1-7 and source are 12-19. */
#define RES_TILE_FIRST_UNLIT 1
#define RES_TILE_FIRST_LIT 12

/* Menu and accelerator commands */
#define CMD_NEW_GAME 100
#define CMD_QUIT 101
#define CMD_SETTINGS 200
#define CMD_SCORES 201
#define CMD_LANGUAGE 202
#define CMD_ABOUT 300
#define CMD_HELP 301

/* Dialog templates */
#define DLG_ABOUT 130
#define DLG_GAME_OVER 150
#define DLG_SCORES 200
#define DLG_NAME 300
#define DLG_SETTINGS 550

/* Controls */
#define IDC_STATUS_BAR 11100
#define IDC_OK 407
#define IDC_CANCEL 408
#define IDC_ABOUT_TITLE 131
#define IDC_ABOUT_NOTICE 132
#define IDC_GAME_OVER_TEXT 151
#define IDC_SCORES_LIST 201
#define IDC_SCORES_RESET 202
#define IDC_NAME_EDIT 301
#define IDC_SETTINGS_DURATION_LABEL 551
#define IDC_SETTINGS_DURATION 552
#define IDC_SETTINGS_SPIN 553
#define IDC_SETTINGS_LANGUAGE_GROUP 561
#define IDC_SETTINGS_FRENCH 562
#define IDC_SETTINGS_ENGLISH 563
#define IDC_SETTINGS_SOUND 569

/* Texts: the French id; the English text is at the same id plus LanguageOffset 1000. */
#define LANGUAGE_FRENCH 0
#define LANGUAGE_ENGLISH 1000
#define TXT_MENU_GAME 400
#define TXT_MENU_OPTIONS 401
#define TXT_MENU_HELP 402
#define TXT_NEW_GAME 410
#define TXT_QUIT 411
#define TXT_GAME_SETTINGS 420
#define TXT_DISPLAY_SCORES 421
#define TXT_LANGUAGE_SWITCH 422
#define TXT_ABOUT 430
#define TXT_HELP 431
#define TXT_ABOUT_VERSION 450
#define TXT_ABOUT_CONTACT 451
#define TXT_GAME_OVER_TITLE 480
#define TXT_NAME_TITLE 481
#define TXT_FATAL_CAPTION 500
#define TXT_WINDOW_TITLE 501
#define TXT_YES 502
#define TXT_NO 503
#define TXT_OK 504
#define TXT_CANCEL 505
#define TXT_PROGRAM_NAME 506
#define TXT_KEY_LANGUAGE 507
#define TXT_KEY_SOUND 508
#define TXT_SCORES_TITLE 509
#define TXT_GAME_OVER_TEXT 510
#define TXT_GAME_OVER_STATUS 516
#define TXT_RESET_SCORES 517
#define TXT_POINTS 518
#define TXT_KEY_DURATION 519
#define TXT_SAVE_FAILED 520
#define TXT_SETTINGS_TITLE 550
#define TXT_SOUND_EFFECTS 551
#define TXT_LANGUAGE_GROUP 552
#define TXT_ENGLISH 553
#define TXT_FRENCH 554
#define TXT_DURATION_LABEL 555

/* What a screen reader is told of the board (ui/accessible_board.cpp). The shape names follow
   ShapeCode: TXT_READER_EMPTY + shape. The cell texts are formats of a shape name, a row, a column. */
#define TXT_READER_BOARD 560
#define TXT_READER_LAY 561
#define TXT_READER_NEXT 562
#define TXT_READER_THEN 563
#define TXT_READER_CELL 564
#define TXT_READER_CELL_WATER 565
#define TXT_READER_EMPTY 570
#define TXT_READER_HORIZONTAL 571
#define TXT_READER_VERTICAL 572
#define TXT_READER_ELBOW_WN 573
#define TXT_READER_ELBOW_WS 574
#define TXT_READER_ELBOW_EN 575
#define TXT_READER_ELBOW_ES 576
#define TXT_READER_CROSS 577
#define TXT_READER_SOURCE 578

#endif
