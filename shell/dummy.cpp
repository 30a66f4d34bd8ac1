int konfDummy(){return 0;}
